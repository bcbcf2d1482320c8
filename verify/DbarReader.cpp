#include "verify/DbarReader.h"

#include <QtEndian>

namespace trackmill {
namespace {

// Callers check the bounds first.
quint32 Le32(const char* at) { return qFromLittleEndian<quint32>(at); }

}  // namespace

DbarReply ReadDbar(const QByteArray& data) {
  DbarReply reply;
  qsizetype at = 0;
  const qsizetype size = data.size();
  while (at < size) {
    const qsizetype left = size - at;
    const int trackCount = quint8(data[at]);
    const qsizetype blockBytes = kDbarHeaderBytes + qsizetype(trackCount) * kDbarTrackBytes;
    if (left < blockBytes) {
      reply.droppedBytes = left;
      break;
    }
    const char* block = data.constData() + at;
    DbarPressing pressing;
    pressing.trackCount = trackCount;
    pressing.id1 = Le32(block + 1);
    pressing.id2 = Le32(block + 5);
    pressing.cddbId = Le32(block + 9);
    pressing.tracks.resize(size_t(trackCount));
    for (int t = 0; t < trackCount; ++t) {
      const char* entry = block + kDbarHeaderBytes + qsizetype(t) * kDbarTrackBytes;
      pressing.tracks[size_t(t)] = {quint8(entry[0]), Le32(entry + 1), Le32(entry + 5)};
    }
    reply.pressings.push_back(std::move(pressing));
    at += blockBytes;
  }
  return reply;
}

}  // namespace trackmill
