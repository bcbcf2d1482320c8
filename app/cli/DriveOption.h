#pragma once
#include <QString>
#include <QStringList>

#include "cd/TrackList.h"

// The drive choice shared by toc, rip and cddb: `--disc-image FILE | --drive N`.
namespace trackmill::cli {

struct DriveChoice {
  int driveIndex = 0;  // position in the drive list (ListDrives)
  QString error;       // set when the options are malformed
};

// Takes the drive options out of args. --disc-image offers the image as a drive and chooses
// it; --drive N chooses drive N of the list; neither: the drive of the settings
// (Settings().Index, so load the settings first).
DriveChoice TakeDriveOption(QStringList& args);

// Opens the chosen drive and lists its disc into list, as the main window does on start-up.
// Returns the status text when there is no drive or no audio disc (the drive is then
// closed again); empty on success, with list.Drive open until its last share goes.
QString OpenListedDisc(const DriveChoice& drive, TrackList& list);

}  // namespace trackmill::cli
