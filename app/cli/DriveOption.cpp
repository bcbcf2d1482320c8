#include "app/cli/DriveOption.h"

#include <QFileInfo>

#include "app/cli/CommandLine.h"
#include "cd/Drive.h"
#include "settings/Settings.h"

namespace trackmill::cli {

DriveChoice TakeDriveOption(QStringList& args) {
  DriveChoice choice;
  bool imageOk = true;
  bool driveOk = true;
  const QString image = TakeOption(args, "--disc-image", &imageOk);
  const QString drive = TakeOption(args, "--drive", &driveOk);
  if (!imageOk) {
    choice.error = "--disc-image needs a file name";
  } else if (!driveOk) {
    choice.error = "--drive needs a drive number";
  } else if (!image.isEmpty() && !drive.isEmpty()) {
    choice.error = "give either --disc-image or --drive, not both";
  } else if (!image.isEmpty()) {
    // Images come first in the drive list, in the order they were offered.
    const QString path = QFileInfo(image).absoluteFilePath();
    AddDiscImage(path);
    choice.driveIndex = int(DiscImages().indexOf(path));
    if (const QString problem = DiscImageProblem(path); !problem.isEmpty()) choice.error = image + ": " + problem;
  } else if (!drive.isEmpty()) {
    bool ok = false;
    choice.driveIndex = drive.toInt(&ok);
    if (!ok || choice.driveIndex < 0) choice.error = QStringLiteral("bad drive number \"%1\"").arg(drive);
  } else {
    choice.driveIndex = Settings().Index;
  }
  return choice;
}

QString OpenListedDisc(const DriveChoice& drive, TrackList& list) {
  list.Show(drive.driveIndex);
  if (!list.Drive) return list.Status;
  list.Activate();
  if (list.NoAudioCD || list.Rows.empty()) {
    const QString status = list.Status;
    list.Drive->Close();
    list.Drive.reset();
    return status;
  }
  return {};
}

}  // namespace trackmill::cli
