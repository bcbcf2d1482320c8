#include "cddb/CddbDriveToc.h"

#include "cd/CDDrive.h"

namespace trackmill {

CddbToc CddbTocFromTOC(const TTOC& toc) {
  CddbToc result;
  const int tracks = toc.lastTrack - toc.firstTrack + 1;
  if (toc.firstTrack < 1 || tracks < 1 || tracks >= kTocEntries) return result;
  result.firstTrack = toc.firstTrack;
  for (int i = 0; i < tracks; ++i) result.trackStartFrames.push_back(MsfSectors(toc.tracks[i]));
  result.leadOutFrame = MsfSectors(toc.tracks[tracks]);
  return result;
}

}  // namespace trackmill
