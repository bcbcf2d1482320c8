// Feeds arbitrary bytes to the checksum database reply reader and the sorting of a reply for a
// disc: every block it keeps must be whole and describe a disc of its own track count.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "verify/AccurateRipLookup.h"
#include "verify/DbarReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const trackmill::DbarReply read = trackmill::ReadDbar(reply);
  qsizetype bytes = read.droppedBytes;
  for (const trackmill::DbarPressing& pressing : read.pressings) {
    if (pressing.tracks.size() != static_cast<size_t>(pressing.trackCount)) std::abort();
    bytes += trackmill::kDbarHeaderBytes + pressing.trackCount * trackmill::kDbarTrackBytes;
  }
  if (bytes != reply.size()) std::abort();

  // The disc the first block names, so that matching blocks are judged too.
  trackmill::AccurateRipDiscId disc;
  if (!read.pressings.empty()) {
    const trackmill::DbarPressing& first = read.pressings.front();
    disc = {first.trackCount, first.id1, first.id2, first.cddbId};
  }
  const trackmill::AccurateRipLookup lookup = trackmill::SortDbarReply(disc, reply);
  trackmill::AccurateRipChecksums sums;
  sums.valid = true;
  sums.v1 = size > 4 ? data[4] : 0;
  for (int track = -1; track <= disc.audioTracks; ++track)
    (void)trackmill::VerdictText(trackmill::JudgeTrack(lookup, track, sums), lookup.outcome);
  return 0;
}
