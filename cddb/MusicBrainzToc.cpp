#include "cddb/MusicBrainzToc.h"

#include <discid/discid.h>

#include <memory>

#include "cd/Drive.h"

namespace trackmill {

MusicBrainzToc MakeMusicBrainzToc(int firstTrack, const std::vector<qint32>& startFrames,
                                  const std::vector<bool>& dataTrack, qint32 leadOutFrame) {
  MusicBrainzToc toc;
  toc.startFrames = startFrames;
  toc.leadOutFrame = leadOutFrame;
  while (toc.startFrames.size() > 1 && toc.startFrames.size() <= dataTrack.size() &&
         dataTrack[toc.startFrames.size() - 1]) {
    toc.leadOutFrame = toc.startFrames.back() - kSessionGapFrames;
    toc.startFrames.pop_back();
  }
  toc.firstTrack = firstTrack;
  toc.lastTrack = firstTrack + static_cast<int>(toc.startFrames.size()) - 1;
  if (toc.startFrames.empty() || firstTrack < 1 || toc.lastTrack > 99) return toc;

  // libdiscid's layout: slot 0 the lead-out, slot n the start of track n.
  int offsets[100] = {};
  offsets[0] = toc.leadOutFrame;
  for (size_t i = 0; i < toc.startFrames.size(); ++i)
    offsets[static_cast<size_t>(firstTrack) + i] = toc.startFrames[i];
  std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), &discid_free);
  // discid_put checks the addresses (ascending, within the lead-out) and refuses a bad table.
  if (!disc || !discid_put(disc.get(), toc.firstTrack, toc.lastTrack, offsets)) return toc;
  toc.discId = QString::fromLatin1(discid_get_id(disc.get()));
  toc.tocText = QString::fromLatin1(discid_get_toc_string(disc.get())).replace(u' ', u'+');
  return toc;
}

MusicBrainzToc MusicBrainzTocFromToc(const DiscToc& toc) {
  std::vector<qint32> starts;
  std::vector<bool> data;
  for (const TocTrack& track : toc.tracks) {
    starts.push_back(track.FramesFromLeadIn());
    data.push_back(track.IsData());
  }
  return MakeMusicBrainzToc(toc.firstTrack, starts, data, toc.tracks.empty() ? 0 : toc.leadOut.FramesFromLeadIn());
}

}  // namespace trackmill
