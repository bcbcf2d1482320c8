#include "cd/CopyReport.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace trackmill {
namespace {

QString Hex(quint32 crc) { return QString::number(crc, 16).rightJustified(8, u'0').toUpper(); }

}  // namespace

std::vector<SectorRun> SectorRuns(const std::vector<int32_t>& sorted, int32_t firstSector) {
  std::vector<SectorRun> runs;
  for (int32_t sector : sorted) {
    const int32_t at = sector - firstSector;
    if (!runs.empty() && runs.back().last + 1 >= at)
      runs.back().last = std::max(runs.back().last, at);
    else
      runs.push_back({at, at});
  }
  return runs;
}

QString SectorTime(int32_t sectors) {
  const QChar sign = sectors < 0 ? u'-' : QChar();
  const qint64 s = std::abs(qint64(sectors));
  return QStringLiteral("%1%2:%3.%4")
      .arg(sign.isNull() ? QString() : QString(sign))
      .arg(s / (75 * 60))
      .arg(s / 75 % 60, 2, 10, QChar('0'))
      .arg(s % 75, 2, 10, QChar('0'));
}

QString CopyReport::Verdict() const {
  if (CopyOk()) return QStringLiteral("Copy OK");
  QStringList runs;
  for (const SectorRun& run : suspicious) runs << SectorTime(run.first) + u'-' + SectorTime(run.last);
  QString text = QStringLiteral("Copy finished with %1 suspicious positions").arg(suspicious.size());
  if (!runs.isEmpty()) text += QStringLiteral(": ") + runs.join(QStringLiteral(", "));
  return text;
}

QString CopyReport::Line() const {
  return QStringLiteral("%1; re-reads %2, peak %3 %, test CRC %4, copy CRC %5")
      .arg(Verdict())
      .arg(rereads)
      .arg(peak * 100.0 / 32768, 0, 'f', 1)
      .arg(Hex(testCrc), Hex(copyCrc));
}

}  // namespace trackmill
