#include "cd/DiscSamples.h"

#include <algorithm>
#include <cstring>

#include "verify/AccurateRipSum.h"

namespace trackmill {

namespace {

// The part of the samples that lies on the disc, as sectors to read and where they go.
struct DiscPart {
  qint64 readFrom = 0, readTo = 0;  // samples on the disc, firstSample <= readFrom <= readTo <= end
  qint64 firstSector = 0, sectorCount = 0;
  qint64 skipBytes = 0;  // into the first sector read
};

// Writes the silence around the part on the disc into out.
DiscPart Plan(qint64 firstSample, qint64 sampleCount, qint64 discSamples, char* out) {
  DiscPart part;
  const qint64 end = firstSample + sampleCount;
  part.readFrom = std::clamp<qint64>(firstSample, 0, discSamples);
  part.readTo = std::clamp<qint64>(end, part.readFrom, discSamples);
  if (part.readTo == part.readFrom) {
    std::memset(out, 0, size_t(sampleCount) * kBytesPerStereoSample);
    return part;
  }
  std::memset(out, 0, size_t(part.readFrom - firstSample) * kBytesPerStereoSample);
  std::memset(out + (part.readTo - firstSample) * kBytesPerStereoSample, 0,
              size_t(end - part.readTo) * kBytesPerStereoSample);
  part.firstSector = part.readFrom / kSamplesPerSector;
  const qint64 endSector = (part.readTo + kSamplesPerSector - 1) / kSamplesPerSector;
  part.sectorCount = endSector - part.firstSector;
  part.skipBytes = (part.readFrom - part.firstSector * kSamplesPerSector) * kBytesPerStereoSample;
  return part;
}

void Place(const DiscPart& part, qint64 firstSample, const std::vector<uint8_t>& sectors, char* out) {
  std::memcpy(out + (part.readFrom - firstSample) * kBytesPerStereoSample, sectors.data() + part.skipBytes,
              size_t((part.readTo - part.readFrom) * kBytesPerStereoSample));
}

}  // namespace

bool ReadDiscSamples(const CdDrive& drive, std::vector<uint8_t>& sectors, qint64 firstSample,
                     qint64 sampleCount, qint64 discSamples, char* out) {
  const DiscPart part = Plan(firstSample, sampleCount, discSamples, out);
  if (part.sectorCount == 0) return true;
  const SectorRead read =
      drive.ReadSectors(int32_t(part.firstSector), uint32_t(part.sectorCount), sectors.data(), sectors.size());
  if (!read.ok || read.bytes < quint64(part.sectorCount) * kCDSectorBytes) return false;
  Place(part, firstSample, sectors, out);
  return true;
}

bool ReadDiscSamplesSecurely(SecureReader& reader, std::vector<uint8_t>& sectors,
                             std::vector<uint8_t>& testSectors, qint64 firstSample, qint64 sampleCount,
                             qint64 discSamples, char* out, char* testOut) {
  const DiscPart part = Plan(firstSample, sampleCount, discSamples, out);
  Plan(firstSample, sampleCount, discSamples, testOut);
  if (part.sectorCount == 0) return true;
  if (sectors.size() < size_t(part.sectorCount) * kCDSectorBytes || testSectors.size() < sectors.size()) return false;
  if (!reader.Read(int32_t(part.firstSector), int32_t(part.sectorCount), sectors.data(), testSectors.data()))
    return false;
  Place(part, firstSample, sectors, out);
  Place(part, firstSample, testSectors, testOut);
  return true;
}

}  // namespace trackmill
