#include "cd/DiscSamples.h"

#include <algorithm>
#include <cstring>

#include "verify/AccurateRipSum.h"
#include "cd/CDDrive.h"

namespace trackmill {

bool ReadDiscSamples(TCDHandle handle, TTrackBuf& request, qint64 firstSample, qint64 sampleCount,
                     qint64 discSamples, char* out) {
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
  const qint64 sectors = endSector - firstSector;
  if (quint64(sectors) * kCDSectorBytes > request.Capacity()) return false;
  request.header.startFrame = quint32(firstSector);
  request.header.numFrames = quint32(sectors);
  request.header.maxLen = quint32(request.Capacity());
  if (ReadCDAudioLBA(handle, request) != 1 || request.AudioBytes() < quint64(sectors) * kCDSectorBytes)
    return false;
  const qint64 skip = (readFrom - firstSector * kSamplesPerSector) * kBytesPerStereoSample;
  std::memcpy(out + (readFrom - firstSample) * kBytesPerStereoSample, request.Audio() + skip,
              size_t((readTo - readFrom) * kBytesPerStereoSample));
  return true;
}

}  // namespace trackmill
