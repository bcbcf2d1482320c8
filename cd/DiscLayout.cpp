#include "cd/DiscLayout.h"

#include <algorithm>

#include "cd/Drive.h"
#include "settings/DiscInfoStore.h"

namespace trackmill {

DiscLayout DiscLayout::FromToc(const DiscToc& toc) {
  if (toc.tracks.empty()) return {};
  std::vector<qint32> starts;
  std::vector<int> data;
  for (const TocTrack& track : toc.tracks) {
    starts.push_back(track.FramesFromLeadIn());
    if (track.IsData()) data.push_back(track.number);
  }
  return FromStarts(starts, toc.leadOut.FramesFromLeadIn(), data, toc.firstTrack);
}

DiscLayout DiscLayout::FromStarts(const std::vector<qint32>& startFrames, qint32 leadOutFrame,
                                  const std::vector<int>& dataTrackNumbers, int firstTrack) {
  DiscLayout disc;
  for (size_t k = 0; k < startFrames.size(); ++k) {
    const qint32 next = k + 1 < startFrames.size() ? startFrames[k + 1] : leadOutFrame;
    if (startFrames[k] < 0) return {};
    DiscTrack track;
    track.number = firstTrack + int(k);
    track.startFrame = startFrames[k];
    track.endFrame = std::max(next, track.startFrame);
    track.data =
        std::find(dataTrackNumbers.begin(), dataTrackNumbers.end(), track.number) != dataTrackNumbers.end();
    disc.tracks.push_back(track);
  }
  for (size_t k = 0; k + 1 < disc.tracks.size(); ++k) {
    DiscTrack& track = disc.tracks[k];
    if (!track.data && disc.tracks[k + 1].data && k + 1 == disc.tracks.size() - 1 &&
        track.Frames() > kSessionGapFrames)
      track.endFrame -= kSessionGapFrames;
  }
  disc.leadOutFrame = leadOutFrame;
  return disc;
}

int DiscLayout::IndexOf(int trackNumber) const {
  for (size_t k = 0; k < tracks.size(); ++k)
    if (tracks[k].number == trackNumber) return int(k);
  return -1;
}

bool DiscLayout::IsFirstAudio(int index) const {
  for (int k = 0; k < int(tracks.size()); ++k)
    if (!tracks[size_t(k)].data) return k == index;
  return false;
}

bool DiscLayout::IsLastAudio(int index) const {
  for (int k = int(tracks.size()) - 1; k >= 0; --k)
    if (!tracks[size_t(k)].data) return k == index;
  return false;
}

int DiscLayout::AudioTrackCount() const {
  return int(std::count_if(tracks.begin(), tracks.end(), [](const DiscTrack& t) { return !t.data; }));
}

AccurateRipDiscId AccurateRipDiscId::Of(const DiscLayout& disc) {
  AccurateRipDiscId id;
  std::vector<qint32> starts;
  for (const DiscTrack& track : disc.tracks) {
    starts.push_back(track.startFrame);
    if (track.data) continue;
    // Addresses as reads give them; the database counts the audio tracks from 1.
    const quint32 address = quint32(track.startFrame - kLeadInSectors);
    ++id.audioTracks;
    id.id1 += address;
    id.id2 += std::max(address, 1u) * quint32(id.audioTracks);
  }
  const quint32 leadOut = quint32(disc.leadOutFrame - kLeadInSectors);
  id.id1 += leadOut;
  id.id2 += leadOut * quint32(id.audioTracks + 1);
  id.cddbId = CddbDiscId(starts, disc.leadOutFrame);
  return id;
}

QString AccurateRipDiscId::Text() const {
  return QStringLiteral("%1-%2-%3-%4")
      .arg(audioTracks, 3, 10, QLatin1Char('0'))
      .arg(id1, 8, 16, QLatin1Char('0'))
      .arg(id2, 8, 16, QLatin1Char('0'))
      .arg(cddbId, 8, 16, QLatin1Char('0'));
}

QString AccurateRipDiscId::DatabasePath() const {
  return QStringLiteral("%1/%2/%3/dBAR-%4.bin")
      .arg(id1 & 0xF, 0, 16)
      .arg(id1 >> 4 & 0xF, 0, 16)
      .arg(id1 >> 8 & 0xF, 0, 16)
      .arg(Text());
}

}  // namespace trackmill
