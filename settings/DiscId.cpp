#include "settings/DiscInfoStore.h"

namespace trackmill {
namespace {

constexpr qint32 kFramesPerSecond = 75;

qint32 DigitSum(qint32 n) {
  qint32 sum = 0;
  for (; n > 0; n /= 10) sum += n % 10;
  return sum;
}

}  // namespace

quint32 CddbDiscId(const std::vector<qint32>& trackStartFrames, qint32 leadOutFrame) {
  if (trackStartFrames.empty()) return 0;
  quint32 checksum = 0;
  for (qint32 start : trackStartFrames) checksum += quint32(DigitSum(std::max(start, 0) / kFramesPerSecond));
  const qint32 firstSecond = std::max(trackStartFrames.front(), 0) / kFramesPerSecond;
  const qint32 leadOutSecond = std::max(leadOutFrame, 0) / kFramesPerSecond;
  // The length field holds 16 bits; a lead-out before the first track means a broken TOC.
  const quint32 lengthSeconds = quint32(std::max(leadOutSecond - firstSecond, 0)) & 0xFFFFu;
  const quint32 trackCount = quint32(trackStartFrames.size()) & 0xFFu;
  return ((checksum % 255u) << 24) | (lengthSeconds << 8) | trackCount;
}

QString DiscIdText(quint32 discId) { return QString::number(qint32(discId)); }

}  // namespace trackmill
