// Query MusicBrainz of the main window: the lookup and the cover fetch run on a worker thread
// and come back as events; a choice among several releases is the user's.
#include <QAction>
#include <QApplication>

#include "cd/Drive.h"
#include "cddb/MusicBrainzDisc.h"
#include "cddb/MusicBrainzThread.h"
#include "cddb/MusicBrainzToc.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "ui/MainForm.h"
#include "ui/MessageBox.h"
#include "ui/ReleaseChooserForm.h"

namespace trackmill {

void TMainForm::QueryMusicBrainz() {
  if (!actionQueryMusicBrainz_->isEnabled() || musicBrainz_) return;
  const std::optional<DiscToc> toc = list_.Drive ? list_.Drive->ReadToc() : std::nullopt;
  if (!toc) {
    prompts_->Error(LangString(QStringLiteral("RES_ReadTocError")));
    return;
  }
  musicBrainzDisc_ = list_.DiscIdentifier;
  coverPending_ = false;
  musicBrainz_ = new TMusicBrainzThread(this, MusicBrainzTocFromToc(*toc), MusicBrainzServersFromSettings());
  musicBrainz_->start();
  UpdateActions();
}

void TMainForm::customEvent(QEvent* event) {
  if (event->type() != MusicBrainzEvent::EventType()) return QMainWindow::customEvent(event);
  const auto& outcome = *static_cast<MusicBrainzEvent*>(event);
  musicBrainz_ = nullptr;  // it posts once, then finishes by itself
  UpdateActions();
  // The disc may have changed while the service was asked: the answer is not for this one.
  if (closing_ || musicBrainzDisc_ != list_.DiscIdentifier) return;
  if (coverPending_) {
    coverPending_ = false;
    if (!outcome.cover.jpeg.isEmpty() && !StoreDiscCover(musicBrainzDisc_, outcome.cover.jpeg))
      ShowMessageBox(this, QStringLiteral("The cover could not be kept beside the disc's record."), QMessageBox::Warning);
    ShowDiscDetails();  // the cover beside the fields
    return;
  }
  TakeMusicBrainzLookup(outcome.lookup);
}

void TMainForm::TakeMusicBrainzLookup(const MusicBrainzLookup& lookup) {
  if (lookup.outcome != MusicBrainzLookup::Outcome::Found || lookup.releases.empty()) {
    prompts_->Error(lookup.outcome == MusicBrainzLookup::Outcome::Failed
                        ? lookup.error
                        : LangString(QStringLiteral("RES_MusicBrainzNotFound")));
    return;
  }
  int chosen = 0;
  if (lookup.releases.size() > 1) {
    TfrmReleaseChooser chooser(this);
    chooser.setReleases(lookup.releases);
    if (chooser.exec() != QDialog::Accepted || chooser.chosenIndex() < 0) return;
    // The window ran its own event loop: the disc may be gone by now.
    if (closing_ || musicBrainzDisc_ != list_.DiscIdentifier) return;
    chosen = chooser.chosenIndex();
  }
  const MusicBrainzRelease& release = lookup.releases[size_t(chosen)];
  QStringList titles;
  for (const TrackRow& row : list_.Rows) titles << row.Title;
  ApplyMusicBrainzRelease(release, Settings().Disc, titles);
  for (qsizetype i = 0; i < titles.size() && size_t(i) < list_.Rows.size(); ++i) list_.Rows[size_t(i)].Title = titles.at(i);
  ShowRows();
  if (!Settings().UseCoverArt || !release.hasFrontCover) return;
  coverPending_ = true;
  musicBrainz_ = new TMusicBrainzThread(this, release.id, MusicBrainzServersFromSettings());
  musicBrainz_->start();
  UpdateActions();
}

void TMainForm::StopMusicBrainz() {
  if (musicBrainz_) musicBrainz_->Stop();
  musicBrainz_ = nullptr;
}

}  // namespace trackmill
