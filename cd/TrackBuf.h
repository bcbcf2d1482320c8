#pragma once
#include <cstdint>
#include <vector>

#include "cd/CDRecords.h"

// A read request for ReadCDAudioLBA: the request header and a data area it owns, sized for
// a number of sectors. Not shared between threads while a read runs.
namespace trackmill {

class TTrackBuf {
 public:
  // Header: startFrame = firstSector, numFrames = sectorCount, maxLen = sectorCount x 2352,
  // the other fields 0.
  TTrackBuf(uint32_t firstSector, uint32_t sectorCount)
      : data_(size_t(sectorCount) * kCDSectorBytes) {
    header.startFrame = firstSector;
    header.numFrames = sectorCount;
    header.maxLen = uint32_t(data_.size());
  }

  TTrackBufHeader header{};
  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  size_t Capacity() const { return data_.size(); }

  // The returned audio: len bytes from startOffset, or nothing when they would not fit.
  const uint8_t* Audio() const { return ValidAudio() ? data_.data() + header.startOffset : nullptr; }
  uint32_t AudioBytes() const { return ValidAudio() ? header.len : 0; }

 private:
  bool ValidAudio() const {
    return header.startOffset >= 0 && uint64_t(header.startOffset) + header.len <= data_.size();
  }
  std::vector<uint8_t> data_;
};

}  // namespace trackmill
