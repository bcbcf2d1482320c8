#include "verify/AccurateRipSum.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace trackmill {
namespace {

constexpr qint64 kEdgeSamples = 5 * kSamplesPerSector;

}  // namespace

AccurateRipSum::AccurateRipSum(qint64 trackSamples, bool firstTrack, bool lastTrack)
    : trackSamples_(trackSamples),
      firstCounted_(firstTrack ? kEdgeSamples : 1),
      lastCounted_(lastTrack ? trackSamples - kEdgeSamples : trackSamples) {}

void AccurateRipSum::AddSamples(const uint8_t* pcm, qint64 count) {
  // Samples of this call have the 1-based positions position_ + 1 .. position_ + count; the
  // loops below run over only the part that each sum counts, without a test per sample.
  const qint64 first = position_ + 1;
  const qint64 from = std::max(first, firstCounted_);
  const qint64 to = std::min(first + count - 1, lastCounted_);
  quint32 v1 = 0;
  quint32 high = 0;
  for (qint64 position = from; position <= to; ++position) {
    quint32 sample;
    std::memcpy(&sample, pcm + (position - first) * 4, 4);  // little-endian, as on the disc
    const quint64 product = quint64(sample) * quint64(quint32(position));
    v1 += quint32(product);
    high += quint32(product >> 32);
  }
  v1_ += v1;
  v2High_ += high;
  const qint64 sectorFirst = qint64(kChecksumSector) * kSamplesPerSector + 1;
  const qint64 sectorFrom = std::max(first, sectorFirst);
  const qint64 sectorTo = std::min(first + count - 1, sectorFirst + kSamplesPerSector - 1);
  for (qint64 position = sectorFrom; position <= sectorTo; ++position) {
    quint32 sample;
    std::memcpy(&sample, pcm + (position - first) * 4, 4);
    frame450_ += sample * quint32(position - sectorFirst + 1);
  }
  position_ += count;
}

void AccurateRipSum::Add(const uint8_t* pcm, size_t bytes) {
  crc32_ = crc32_z(crc32_, pcm, bytes);
  while (partialBytes_ > 0 && bytes > 0) {
    partial_[partialBytes_++] = *pcm++;
    --bytes;
    if (partialBytes_ == 4) {
      partialBytes_ = 0;
      AddSamples(partial_, 1);
    }
  }
  AddSamples(pcm, qint64(bytes / 4));
  pcm += bytes / 4 * 4;
  partialBytes_ = bytes % 4;
  std::memcpy(partial_, pcm, partialBytes_);
}

AccurateRipChecksums AccurateRipSum::Result() const {
  AccurateRipChecksums sums;
  sums.v1 = v1_;
  sums.v2 = v1_ + v2High_;
  sums.frame450 = frame450_;
  sums.crc32 = quint32(crc32_);
  sums.valid = position_ == trackSamples_ && partialBytes_ == 0;
  return sums;
}

quint32 Frame450Checksum(const quint32* samples) {
  quint32 sum = 0;
  for (int i = 0; i < kSamplesPerSector; ++i) sum += samples[i] * quint32(i + 1);
  return sum;
}

}  // namespace trackmill
