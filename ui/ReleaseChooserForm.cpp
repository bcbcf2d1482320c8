#include "ui/ReleaseChooserForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {

TfrmReleaseChooser::TfrmReleaseChooser(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmReleaseChooser"));
  setWindowTitle(QStringLiteral("Choose a Release"));

  lbReleases = new QLabel(QStringLiteral("Several releases hold this disc. Please choose one:"), this);
  lbReleases->setObjectName(QStringLiteral("lbReleases"));
  lvReleases = new QTreeWidget(this);
  lvReleases->setObjectName(QStringLiteral("lvReleases"));
  lvReleases->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Date"),
                               QStringLiteral("Country"), QStringLiteral("Barcode")});
  lvReleases->setRootIsDecorated(false);
  lvReleases->setSelectionMode(QAbstractItemView::SingleSelection);
  lvReleases->setAllColumnsShowFocus(true);
  lvReleases->setMinimumSize(560, 180);
  lvReleases->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbReleases);
  layout->addWidget(lvReleases);
  const DialogButtons buttons = AddOkCancelButtons(layout, this, "btOK", QStringLiteral("&OK"), QStringLiteral("&Cancel"));
  btOK = buttons.ok;
  btCancel = buttons.cancel;

  connect(lvReleases, &QTreeWidget::itemSelectionChanged, this,
          [this] { btOK->setEnabled(lvReleases->currentItem() != nullptr); });
  connect(lvReleases, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  btOK->setEnabled(false);
  TranslateWhenFirstShown(this);
}

void TfrmReleaseChooser::setReleases(const std::vector<MusicBrainzRelease>& releases) {
  lvReleases->clear();
  for (const MusicBrainzRelease& r : releases)
    new QTreeWidgetItem(lvReleases, {r.title, r.artist, r.date, r.country, r.barcode});
  if (lvReleases->topLevelItemCount() > 0) lvReleases->setCurrentItem(lvReleases->topLevelItem(0));
}

int TfrmReleaseChooser::chosenIndex() const { return lvReleases->indexOfTopLevelItem(lvReleases->currentItem()); }

}  // namespace trackmill
