#include <algorithm>

#include "cd/CDDrive.h"

// What a table of contents record says by itself, without a drive.
namespace trackmill {

int TocEntryCount(const TTOC& toc) {
  if (toc.lastTrack < toc.firstTrack) return 0;
  return std::min(toc.lastTrack - toc.firstTrack + 2, kTocEntries);
}

bool HasAudioTrack(const TTOC& toc) {
  const int tracks = TocEntryCount(toc) - 1;
  for (int k = 0; k < tracks; ++k)
    if (!(toc.tracks[k].ADR & kControlDataTrack)) return true;
  return false;
}

}  // namespace trackmill
