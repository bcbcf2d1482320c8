#include "cddb/CddbDriveToc.h"

#include "cd/Drive.h"

namespace trackmill {

CddbToc CddbTocFromToc(const DiscToc& toc) {
  CddbToc result;
  const int tracks = toc.lastTrack - toc.firstTrack + 1;
  if (toc.firstTrack < 1 || tracks < 1 || tracks >= kTocEntries || size_t(tracks) != toc.tracks.size())
    return result;
  result.firstTrack = toc.firstTrack;
  for (const TocTrack& track : toc.tracks) result.trackStartFrames.push_back(track.FramesFromLeadIn());
  result.leadOutFrame = toc.leadOut.FramesFromLeadIn();
  return result;
}

}  // namespace trackmill
