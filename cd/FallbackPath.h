#pragma once
#include "cd/CDIn.h"
#include "cd/TrackList.h"

// The main window's path when the drive layer opens no drive: the track list read through
// the paranoia CD input. Main thread only.
namespace trackmill {

// Fills list.Rows through cdIn: titles from the disc-info cache, lengths as the table of
// contents path computes them; Status and SavedStatus become the drive name.
void ReadTrackListFromCDIn(TrackList& list, TCDIn& cdIn);

// The disc in cdIn's selected drive has at least one audio track.
bool IsAudioCDPresent(TCDIn& cdIn);

// What the activation of the main window does while list.Drive is none: the disc is listed
// unless the list already shows it (rows, ticks and typed titles stay). The window shows
// the no-device hint when ShowNoDeviceHint is set and hintAlreadyShown was false (so the
// hint does not come back each time the window regains focus from it).
struct FallbackResult {
  bool ShowNoDeviceHint = false;
  bool Listed = false;
};
FallbackResult RunFallbackPath(TrackList& list, TCDIn& cdIn, int settingsIndex, bool hintAlreadyShown);

}  // namespace trackmill
