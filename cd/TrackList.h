#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "cd/Drive.h"
#include "common/JobItem.h"

// The track list of the main window without the window: finding and opening the drive, the
// rows read from the table of contents with their titles from the disc-info cache, and the
// status-line texts. The window shows Rows and Status; the command line prints them.
// Main thread only (it reads and writes Settings() and the disc-info cache).
namespace trackmill {

struct TrackRow {
  QString Caption;  // track number, no leading zeros
  QString Title;
  QString Length;   // "mm:ss"
  QString Size;     // megabytes as "MM.hh"
  bool Checked = true;
};

// Length between two table addresses: minutes and seconds subtracted, frames ignored, a
// negative seconds value borrowing a minute.
struct TrackLength {
  int minutes = 0;
  int seconds = 0;
};
TrackLength LengthBetween(int fromMinute, int fromSecond, int toMinute, int toSecond);
QString TrackLengthText(const TrackLength& length);
// Size of the track as 44.1 kHz 16-bit stereo PCM in megabytes, hundredths rounded half to even.
QString TrackSizeText(const TrackLength& length);
// Title slot n of Settings().Disc; an empty slot is first set to "Track" + two-digit n.
QString TitleForTrack(int trackNumber);
// The row of track n with the given length.
TrackRow MakeTrackRow(int trackNumber, const TrackLength& length);

// The drives of the drive list in list order, each named as DriveDescription names it (trimmed).
QStringList DriveDescriptions();

class TrackList {
 public:
  std::shared_ptr<CdDrive> Drive;  // open drive; none: the fallback path applies
  bool NoAudioCD = false;
  QString DriveDescription;  // vendor + product, at most 26 characters
  QString Status;            // the status line
  QString SavedStatus;
  // Why the chosen disc image could not be opened (OpenDrive); empty when it opened or the
  // drive is no image. The window keeps showing it rather than that no audio CD is found.
  QString ImageProblem;
  QString DiscIdentifier;    // of the listed disc; empty when none
  std::vector<TrackRow> Rows;
  // False: OpenDrive gives no drive, so the paranoia input serves the disc (the main window
  // clears it when TRACKMILL_FALLBACK_INPUT=1, to run and test that path on any drive or image).
  bool UseDriveLayer = true;

  // Opens drive driveIndex of the drive list (negative or beyond the list: drive 0); sets
  // DriveDescription and Status. Returns the drive, none on failure ("No CD devices found!").
  std::shared_ptr<CdDrive> OpenDrive(int driveIndex);
  // The open drive holds a disc with at least one audio track.
  bool IsAudioCDPresent() const;
  // The open drive holds a disc whose table of contents reads, with audio tracks or without.
  bool IsDiscPresent() const;
  // Fills Rows from the table of contents of Drive (nothing without a drive).
  void ReadTrackListFromTOC();
  // Start-up: open the drive of the settings (or the given one) and list its disc.
  void Show();
  void Show(int driveIndex);
  // The window became active: a disc missing since start-up is reported again (an image that
  // could not be opened by its ImageProblem).
  void Activate();
  // Refresh command; also after a disc arrived. NoAudioCD follows the disc found.
  void Refresh();
  // No disc listed any more: the rows go, and so does the disc they belonged to, so that
  // closing never writes an empty list over that disc's titles.
  void ForgetDisc();
  // Job items of the checked rows: list position + cleaned title.
  JobItems ExtractItems() const;
  // Titles of the rows into the disc-info record, saved to the cache; false when the cache
  // could not be written (nothing to save without a disc counts as saved).
  bool SaveTitles();
  // Closing: SaveTitles, then the drive. Returns the error texts, one per line, when the
  // titles could not be saved or the drive could not be closed; empty when all went well.
  QString Close();

  // Loads the disc-info record of a table of contents; sets DiscIdentifier. Returns whether
  // the cache held a record of the disc.
  bool LoadDiscRecord(const std::vector<qint32>& startFrames, qint32 leadOutFrame);
  // Fills the disc fields and the rows' titles from the disc's CD-Text, where they hold only
  // what the program put there (empty fields, "TrackNN" titles): typed titles stay.
  void ApplyCDText();
};

}  // namespace trackmill
