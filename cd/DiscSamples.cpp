#include "cd/DiscSamples.h"

#include <algorithm>
#include <cstring>

#include "verify/AccurateRipSum.h"

namespace trackmill {

bool ReadDiscSamples(const CdDrive& drive, std::vector<uint8_t>& sectors, qint64 firstSample,
                     qint64 sampleCount, qint64 discSamples, char* out) {
  const qint64 end = firstSample + sampleCount;
  const qint64 readFrom = std::clamp<qint64>(firstSample, 0, discSamples);
  const qint64 readTo = std::clamp<qint64>(end, readFrom, discSamples);
  if (readTo == readFrom) {
    std::memset(out, 0, size_t(sampleCount) * kBytesPerStereoSample);
    return true;
  }
  // Silence before and after the part that lies on the disc (firstSample <= readFrom < readTo <= end).
  std::memset(out, 0, size_t(readFrom - firstSample) * kBytesPerStereoSample);
  std::memset(out + (readTo - firstSample) * kBytesPerStereoSample, 0,
              size_t(end - readTo) * kBytesPerStereoSample);
  const qint64 firstSector = readFrom / kSamplesPerSector;
  const qint64 endSector = (readTo + kSamplesPerSector - 1) / kSamplesPerSector;
  const qint64 sectorCount = endSector - firstSector;
  const SectorRead read = drive.ReadSectors(int32_t(firstSector), uint32_t(sectorCount), sectors.data(), sectors.size());
  if (!read.ok || read.bytes < quint64(sectorCount) * kCDSectorBytes) return false;
  const qint64 skip = (readFrom - firstSector * kSamplesPerSector) * kBytesPerStereoSample;
  std::memcpy(out + (readFrom - firstSample) * kBytesPerStereoSample, sectors.data() + skip,
              size_t((readTo - readFrom) * kBytesPerStereoSample));
  return true;
}

}  // namespace trackmill
