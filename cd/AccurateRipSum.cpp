#include "cd/AccurateRipSum.h"

#include <zlib.h>

#include <cstring>

namespace trackmill {
namespace {

constexpr qint64 kEdgeSamples = 5 * kSamplesPerSector;

}  // namespace

AccurateRipSum::AccurateRipSum(qint64 trackSamples, bool firstTrack, bool lastTrack)
    : trackSamples_(trackSamples),
      firstCounted_(firstTrack ? kEdgeSamples : 1),
      lastCounted_(lastTrack ? trackSamples - kEdgeSamples : trackSamples) {}

void AccurateRipSum::AddSample(quint32 sample) {
  const qint64 position = ++position_;
  if (position >= firstCounted_ && position <= lastCounted_) {
    const quint64 product = quint64(sample) * quint64(position);
    v1_ += quint32(product);
    v2High_ += quint32(product >> 32);
  }
  const qint64 inSector = position - 1 - qint64(kChecksumSector) * kSamplesPerSector;
  if (inSector >= 0 && inSector < kSamplesPerSector) frame450_ += sample * quint32(inSector + 1);
}

void AccurateRipSum::Add(const uint8_t* pcm, size_t bytes) {
  crc32_ = crc32_z(crc32_, pcm, bytes);
  while (partialBytes_ > 0 && bytes > 0) {
    partial_[partialBytes_++] = *pcm++;
    --bytes;
    if (partialBytes_ == 4) {
      partialBytes_ = 0;
      AddSample(quint32(partial_[0]) | quint32(partial_[1]) << 8 | quint32(partial_[2]) << 16 |
                quint32(partial_[3]) << 24);
    }
  }
  const size_t whole = bytes / 4;
  for (size_t i = 0; i < whole; ++i, pcm += 4)
    AddSample(quint32(pcm[0]) | quint32(pcm[1]) << 8 | quint32(pcm[2]) << 16 | quint32(pcm[3]) << 24);
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
