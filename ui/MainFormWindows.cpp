// The commands of the main window that open another window or a page of the manual.
#include <QDesktopServices>
#include <QTreeWidget>

#include "ui/AboutBox.h"
#include "ui/EditTrackNameForm.h"
#include "ui/HelpPages.h"
#include "ui/MainForm.h"
#include "ui/NoDeviceHintForm.h"
#include "ui/OggPlayerForm.h"
#include "ui/RecordForm.h"
#include "app/shell/ClearHistory.h"
#include "app/shell/VolumeControl.h"
#include "settings/LangString.h"
#include "common/JobCodes.h"
#include "ui/MessageBox.h"

namespace trackmill {

void TMainForm::RenameExecute() {
  QTreeWidgetItem* item = listView1_->currentItem();
  const int row = listView1_->indexOfTopLevelItem(item);
  if (!item || !item->isSelected() || row < 0 || row >= int(list_.Rows.size())) return;
  TfrmEditTrackName rename(this);
  rename.setTrackName(list_.Rows[size_t(row)].Title);
  if (rename.exec() != QDialog::Accepted) return;
  list_.Rows[size_t(row)].Title = rename.trackName();
  item->setText(1, rename.trackName());
}

void TMainForm::ShowNoDeviceHint() {
  TfrmNoDeviceHint hint(this);
  hint.exec();
}

void TMainForm::HelpExecute() { QDesktopServices::openUrl(ManualUrl()); }

void TMainForm::HomePageExecute() { QDesktopServices::openUrl(HomePageUrl()); }

void TMainForm::AboutExecute() {
  TAboutBox about(this);
  about.exec();
}

void TMainForm::OggPlayerExecute() {
  try {
    TfrmOggPlayer player(this);
    player.exec();
  } catch (const std::exception&) {
    // The player is an extra: whatever goes wrong in it must not take the main window down.
  }
}

void TMainForm::RecordExecute() {
  // The recorder's MP3 conversion reads only the saved file: it runs with or without a drive.
  TfrmRecord recorder(this, [this](const QString& wavFile) {
    RunJobWindow(job_kind::kRecorderWavToMp3, 0, {wavFile});
  });
  recorder.exec();
}

void TMainForm::VolumeControlExecute() {
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

void TMainForm::ClearVlcExecute() {
  if (VlcRunning() && ShowMessageBox(this, LangString("RES_RealOne_Window_Exist"), QMessageBox::Question,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  QString error;
  const int removed = ClearVlcRecents(VlcConfigPath(), error);
  TellCleared(this, removed, error);
}

void TMainForm::ClearRecentExecute() {
  QString error;
  const int removed = ClearRecentAudioFiles(RecentFilesPath(), error);
  TellCleared(this, removed, error);
}

}  // namespace trackmill
