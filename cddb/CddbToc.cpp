#include "cddb/CddbToc.h"

#include "settings/DiscInfoStore.h"

namespace trackmill {

bool CddbToc::IsValid() const {
  if (trackStartFrames.empty() || trackStartFrames.size() > 99) return false;
  qint32 previous = -1;
  for (const qint32 start : trackStartFrames) {
    if (start < 0 || start <= previous) return false;
    previous = start;
  }
  return leadOutFrame > previous;
}

QStringList CddbQueryWords(const CddbToc& toc) {
  if (!toc.IsValid()) return {};
  const quint32 discId = CddbDiscId(toc.trackStartFrames, toc.leadOutFrame);
  QStringList words;
  words << QStringLiteral("%1").arg(discId, 8, 16, QLatin1Char('0'))
        << QString::number(toc.TrackCount());
  for (const qint32 start : toc.trackStartFrames) words << QString::number(start);
  words << QString::number(toc.leadOutFrame / kFramesPerSecond);
  return words;
}

}  // namespace trackmill
