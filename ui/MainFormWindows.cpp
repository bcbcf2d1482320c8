// The commands of the main window that open another window (the CDDB query after reading the
// disc's table of contents) or a page of the manual.
#include <QDesktopServices>
#include <QTreeWidget>

#include "app/shell/ClearHistory.h"
#include "app/shell/UserPrompts.h"
#include "app/shell/VolumeControl.h"
#include "cd/Drive.h"
#include "cd/MediaWatcher.h"
#include "cddb/CddbDriveToc.h"
#include "common/JobCodes.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "ui/AboutBox.h"
#include "ui/EditTrackNameForm.h"
#include "ui/HelpPages.h"
#include "ui/ID3EditForm.h"
#include "ui/MainForm.h"
#include "ui/MessageBox.h"
#include "ui/NoDeviceHintForm.h"
#include "ui/OggPlayerForm.h"
#include "ui/OptionSetForm.h"
#include "ui/QueryCDDBForm.h"
#include "ui/RecordForm.h"
#include "ui/ResampleForm.h"

namespace trackmill {

void TMainForm::RenameTrack() {
  QTreeWidgetItem* item = trackList_->currentItem();
  const int row = trackList_->indexOfTopLevelItem(item);
  if (!item || !item->isSelected() || row < 0 || row >= int(list_.Rows.size())) return;
  TfrmEditTrackName rename(this);
  rename.setTrackName(list_.Rows[size_t(row)].Title);
  if (rename.exec() != QDialog::Accepted) return;
  list_.Rows[size_t(row)].Title = rename.trackName();
  item->setText(1, rename.trackName());
}

void TMainForm::OpenOptions() {
  TOptionSetForm options(this, this);
  options.move(pos() + QPoint(50, 50));
  // The tag page shows the disc listed now; no disc change may slip in under it.
  mediaWatcher_->SetPaused(true);
  options.exec();
  mediaWatcher_->SetPaused(false);
  ShowDiscDetails();  // the tag page edits the same disc fields and the same check box
}

void TMainForm::QueryCddbServer() {
  if (!actionQueryCddb_->isEnabled()) return;
  const std::optional<DiscToc> toc = list_.Drive ? list_.Drive->ReadToc() : std::nullopt;
  if (!toc) {
    prompts_->Error(LangString(QStringLiteral("RES_ReadTocError")));
    return;
  }
  // The worker fills copies; they are taken only from a query that ended, so a Stop that
  // crosses the worker's last write cannot leave new disc fields beside the old titles.
  DiscInfo disc = Settings().Disc;
  QStringList titles;
  for (const TrackRow& row : list_.Rows) titles << row.Title;
  mediaWatcher_->SetPaused(true);  // the disc stays the one asked about
  TfrmQueryCDDB query(this, CddbTocFromToc(*toc), &disc, &titles);
  const bool found = query.exec() == QDialog::Accepted;
  mediaWatcher_->SetPaused(false);
  if (!found) return;
  Settings().Disc = disc;
  for (qsizetype i = 0; i < titles.size() && size_t(i) < list_.Rows.size(); ++i) list_.Rows[size_t(i)].Title = titles.at(i);
  ShowRows();
}

void TMainForm::OpenTagEditor() {
  TfrmID3Edit editor(this);
  editor.exec();
}

void TMainForm::ConvertWavToWav() {
  TfrmResample converter(this);
  converter.exec();
}

void TMainForm::ShowNoDeviceHint() {
  TfrmNoDeviceHint hint(this);
  hint.exec();
}

void TMainForm::OpenManual() { QDesktopServices::openUrl(ManualUrl()); }

void TMainForm::OpenHomePage() { QDesktopServices::openUrl(HomePageUrl()); }

void TMainForm::ShowAbout() {
  TAboutBox about(this);
  about.exec();
}

void TMainForm::OpenOggPlayer() {
  try {
    TfrmOggPlayer player(this);
    player.exec();
  } catch (const std::exception&) {
    // The player is an extra: whatever goes wrong in it must not take the main window down.
  }
}

void TMainForm::OpenRecorder() {
  // The recorder's MP3 conversion reads only the saved file: it runs with or without a drive.
  TfrmRecord recorder(this, [this](const QString& wavFile) {
    RunJobWindow(job_kind::kRecorderWavToMp3, 0, {JobItem::File(wavFile)});
  });
  recorder.exec();
}

void TMainForm::OpenVolumeControl() {
  QString error;
  if (!StartMixer(false, error)) ShowMessageBox(this, error, QMessageBox::Information);
}

namespace {

void TellCleared(QWidget* parent, int removed, const QString& error) {
  if (removed < 0)
    ShowMessageBox(parent, error, QMessageBox::Critical);
  else
    ShowMessageBox(parent, QString::number(removed) + LangString("RES_Clear_History"), QMessageBox::Information);
}

}  // namespace

void TMainForm::ClearVlcHistory() {
  if (VlcRunning() && !ConfirmDefaultNo(this, LangString("RES_RealOne_Window_Exist"))) return;
  QString error;
  const int removed = ClearVlcRecents(VlcConfigPath(), error);
  TellCleared(this, removed, error);
}

void TMainForm::ClearRecentFiles() {
  QString error;
  const int removed = ClearRecentAudioFiles(RecentFilesPath(), error);
  TellCleared(this, removed, error);
}

}  // namespace trackmill
