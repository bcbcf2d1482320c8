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

int CDDBQuery(TCDHandle handle, TCDDBQuery& query) {
  TTOC toc{};
  if (handle == 0 || ModifyCDParms(handle, kCDParmMsfAddresses, 1) == 0 ||
      ReadTOC(handle, toc) != 1) {
    CddbToc none;
    return CDDBQuery(none, query);  // reports kCddbErrorBadToc
  }
  return CDDBQuery(CddbTocFromTOC(toc), query);
}

}  // namespace trackmill
