// The drive side of the main window: opening the drive or image at start-up and on request,
// the fallback path on activation, Refresh, media changes and the tray.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

#include "cd/Drive.h"
#include "cd/CDIn.h"
#include "cd/FallbackPath.h"
#include "cd/MediaWatcher.h"
#include "settings/DiscInfoStore.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "ui/MainForm.h"
#include "ui/MessageBox.h"

namespace trackmill {

void TMainForm::OpenStartDrive() {
  int index = Settings().Index;
  QString image = startImage_;
  // A remembered image is opened again when no drive has been chosen (and it still exists).
  if (image.isEmpty() && startDrive_ < 0 && index < 0 && QFileInfo(Settings().DiscImage).isFile())
    image = Settings().DiscImage;
  if (!image.isEmpty()) {
    const QString path = QFileInfo(image).absoluteFilePath();
    AddDiscImage(path);
    Settings().DiscImage = path;
    index = int(DiscImages().indexOf(path));
  } else if (startDrive_ >= 0) {
    index = startDrive_;
  }
  driveIndex_ = index;
  list_.Show(index);
  ShowRows();
  StartWatching();
}

void TMainForm::OpenDrive(int index) {
  StopPlayback();
  SaveTitlesOrTell();
  if (list_.Drive) list_.Drive->Close();
  list_.ForgetDisc();
  list_.NoAudioCD = false;
  driveIndex_ = index;
  list_.Show(index);
  ShowRows();
  StartWatching();
}

void TMainForm::OpenDiscImage(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  AddDiscImage(absolute);
  Settings().DiscImage = absolute;
  OpenDrive(int(DiscImages().indexOf(absolute)));
}

void TMainForm::ReadTrackListFromTOC() {
  list_.ReadTrackListFromTOC();
  ShowRows();
}

// A disc without audio counts as present too: otherwise every look would report it arriving.
void TMainForm::StartWatching() { mediaWatcher_->Watch(list_.Drive, list_.IsDiscPresent()); }

void TMainForm::SaveTitlesOrTell() {
  CommitOpenEdit();
  if (list_.SaveTitles()) return;
  ShowMessageBox(this, LangString("RES_SaveDiscInfoError").arg(QDir::toNativeSeparators(DiscInfoFilePath())),
                 QMessageBox::Critical);
}

void TMainForm::WindowActivated() {
  if (closing_) return;
  if (!list_.Drive) {
    const FallbackResult result = RunFallbackPath(list_, *fallbackInput_, driveIndex_, hintShown_);
    if (result.Listed) ShowRows();
    if (result.ShowNoDeviceHint) {
      hintShown_ = true;  // once per run: it must not come back each time the window is active
      ShowNoDeviceHint();
    }
  }
  list_.Activate();
  statusText_->setText(list_.Status);
}

void TMainForm::ChooseDiscImage() {
  const QString folder = Settings().DiscImage.isEmpty() ? QString() : QFileInfo(Settings().DiscImage).absolutePath();
  const QString path = QFileDialog::getOpenFileName(this, QString(), folder,
                                                    QStringLiteral("Disc images (*.cue *.toc *.nrg);;Any file (*)"));
  if (!path.isEmpty()) OpenDiscImage(path);
}

void TMainForm::ReopenDrive() {
  StopPlayback();  // playback reads through the drive
  // The open drive keeps the table of contents it read: a changed disc needs a new one.
  if (list_.Drive) list_.Drive->Close();
  list_.Drive = list_.OpenDrive(driveIndex_);
}

void TMainForm::RereadDisc() {
  SaveTitlesOrTell();  // titles renamed since the disc was read would be read over
  ReopenDrive();
  if (!list_.Drive)
    list_.ForgetDisc();
  else
    list_.Refresh();
  ShowRows();
  StartWatching();
}

void TMainForm::MediaArrived() {
  ReopenDrive();
  if (list_.Drive) list_.Refresh();  // a disc without audio says so instead of the drive's name
  ShowRows();
  // The watcher saw a disc: whatever could be read from it, it is not new again until it left.
  mediaWatcher_->Watch(list_.Drive, true);
}

void TMainForm::MediaRemoved() {
  StopPlayback();
  SaveTitlesOrTell();
  list_.ForgetDisc();
  ShowRows();
}

namespace {
// Status text after a tray command; empty when the tray moved.
QString TrayStatus(TrayResult result) {
  switch (result) {
    case TrayResult::Done: return {};
    case TrayResult::NoTray: return LangString("RES_Image_No_Tray");
    case TrayResult::Failed: break;
  }
  return LangString("RES_Tray_Fail");
}
}  // namespace

void TMainForm::EjectDisc() {
  if (const QString status = TrayStatus(list_.Drive ? list_.Drive->Eject() : TrayResult::Failed); !status.isEmpty()) SetStatusText(status);
}

void TMainForm::CloseDriveTray() {
  if (const QString status = TrayStatus(list_.Drive ? list_.Drive->CloseTray() : TrayResult::Failed); !status.isEmpty()) SetStatusText(status);
}

}  // namespace trackmill
