// The disc's side of the main window: its details above the list, the per-track Artist column
// (a track's own artist, or the disc's in italics where it has none) and the
// in-place editing of titles and artists.
#include <QAction>
#include <QTimer>
#include <QTreeWidget>

#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "ui/DiscFieldsPanel.h"
#include "ui/MainForm.h"
#include "ui/TrackCellDelegate.h"

namespace trackmill {
namespace {

bool HasSlot(size_t row) { return row < size_t(kDiscTitleSlots); }

}  // namespace

void TMainForm::CreateDiscPanel() {
  discPanel_ = new TDiscFieldsPanel(this);
  connect(discPanel_, &TDiscFieldsPanel::ArtistEdited, this, &TMainForm::ShowArtistCells);
}

void TMainForm::ShowDiscDetails() {
  const bool hasDisc = !list_.DiscIdentifier.isEmpty() && !list_.Rows.empty();
  discPanel_->ShowDisc(hasDisc, DiscCoverPath(list_.DiscIdentifier));
  ShowArtistCells();
  // A disc of several artists brings its column; the user's choice keeps it for every disc.
  bool severalArtists = false;
  for (size_t row = 0; row < list_.Rows.size() && HasSlot(row); ++row)
    severalArtists |= !Settings().Disc.TrackArtists[row].isEmpty();
  ShowArtistColumn(artistColumnChosen_ || severalArtists);
}

void TMainForm::ShowArtistCells() {
  const DiscInfo& disc = Settings().Disc;
  // The disc's artist standing in for a track's is set in italics: a colour of its own would
  // fade on the selected row and under some palettes.
  QFont inherited = trackList_->font();
  inherited.setItalic(true);
  const bool wasFilling = fillingRows_;
  fillingRows_ = true;
  for (int i = 0; i < trackList_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = trackList_->topLevelItem(i);
    const QString own = HasSlot(size_t(i)) ? disc.TrackArtists[size_t(i)] : QString();
    item->setText(kArtistColumn, own.isEmpty() ? disc.Artist : own);
    item->setData(kArtistColumn, Qt::FontRole, own.isEmpty() ? QVariant(inherited) : QVariant());
  }
  fillingRows_ = wasFilling;
}

void TMainForm::ShowArtistColumn(bool shown) {
  trackList_->setColumnHidden(kArtistColumn, !shown);
  actionArtistColumn_->setChecked(shown);
}

bool TMainForm::IsEditableCell(const QModelIndex& index) const {
  return index.isValid() && (index.column() == kTitleColumn || index.column() == kArtistColumn) &&
         trackList_->selectionModel()->isRowSelected(index.row(), index.parent());
}

void TMainForm::EditNextTrack(const QModelIndex& committed) {
  // After the editor of this cell has gone: the list opens one editor at a time.
  QTimer::singleShot(0, trackList_, [this, row = committed.row(), column = committed.column()] {
    if (row + 1 >= trackList_->topLevelItemCount()) return;
    const QModelIndex next = trackList_->model()->index(row + 1, column);
    trackList_->setCurrentIndex(next);
    trackList_->edit(next);
  });
}

void TMainForm::TitleCellEdited(QTreeWidgetItem* item, size_t row) {
  const QString typed = item->text(kTitleColumn);
  // A track needs a title to be named by, as the rename window insists.
  if (typed.trimmed().isEmpty()) {
    fillingRows_ = true;
    item->setText(kTitleColumn, list_.Rows[row].Title);
    fillingRows_ = false;
    return;
  }
  list_.Rows[row].Title = typed;
}

void TMainForm::ArtistCellEdited(QTreeWidgetItem* item, size_t row) {
  if (!HasSlot(row)) return;
  DiscInfo& disc = Settings().Disc;
  const QString typed = item->text(kArtistColumn).trimmed();
  // The disc's artist is not repeated per track: such a track follows the disc's field.
  disc.TrackArtists[row] = typed == disc.Artist ? QString() : typed;
  ShowArtistCells();
}

void TMainForm::CommitOpenEdit() { cellEditor_->CommitOpenEditor(); }

}  // namespace trackmill
