// MusicBrainz disc lookup replies: any bytes through the JSON reader into the release list,
// with the disc id of the example reply and a track count taken from the input.
#include <QByteArray>
#include <cstdint>

#include "cddb/MusicBrainzDisc.h"
#include "cddb/MusicBrainzReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const int trackCount = size > 0 ? data[0] % 8 : 0;
  const auto reply = trackmill::ParseMusicBrainzReply(json, QStringLiteral("XKTznvZxXvPAHeLZlW4wFL1g.Uc-"), trackCount);
  for (const auto& release : reply.releases) {
    trackmill::DiscInfo disc;
    QStringList rows(trackCount);
    trackmill::ApplyMusicBrainzRelease(release, disc, rows);
  }
  return 0;
}
