#include "cd/NormalizeFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/JobReports.h"
#include "settings/LangString.h"

namespace trackmill {
namespace {

constexpr int kBlockBytes = 2048;
constexpr int kHeaderBytes = 44;

QString TemporaryName(const QString& fileName) {
  const QFileInfo info(fileName);
  const QString suffix = info.suffix();
  const QString stem = suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size() - 1);
  return stem + ".nor";
}

}  // namespace

qint16 ScaleSample(qint16 sample, float gain) {
  // The product of a 16-bit sample and a float is exact in double; nearbyint rounds halves
  // to even under the default rounding mode.
  const double v = std::nearbyint(double(sample) * double(gain));
  return qint16(std::clamp(v, -32768.0, 32767.0));
}

QString NormalizeFile(QObject* window, int percent, const QString& fileName) {
  PostJobReport(window, StepStarted{JobStep::Normalize});
  const QString temporary = TemporaryName(fileName);
  const float gain = float(percent) / 100.0f;

  QFile in(fileName);
  if (!in.open(QIODevice::ReadOnly))
    return LangString("RES_Normalize_Open").arg(fileName);
  QFile out(temporary);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return LangString("RES_Normalize_Create").arg(temporary);
  auto fail = [&](const QString& reason) {
    out.close();
    QFile::remove(temporary);
    return reason;
  };
  const QString writeError = LangString("RES_Normalize_Write").arg(temporary);

  const qint64 size = in.size();
  ProgressClock clock;
  const QByteArray header = in.read(kHeaderBytes);
  if (header.size() != kHeaderBytes)
    return fail(LangString("RES_Normalize_Short").arg(fileName));
  if (out.write(header) != kHeaderBytes) return fail(writeError);
  qint64 processed = kHeaderBytes;

  char block[kBlockBytes];
  for (;;) {
    PostJobReport(window, clock.Make(JobStep::Normalize, processed, size));
    const qint64 got = in.read(block, kBlockBytes);
    if (got < 0) return fail(LangString("RES_Normalize_Read").arg(fileName));
    if (got == 0) break;
    for (qint64 i = 0; i + 1 < got; i += 2) {
      const auto s = qint16(quint16(quint8(block[i])) | quint16(quint8(block[i + 1])) << 8);
      const auto v = quint16(ScaleSample(s, gain));
      block[i] = char(v & 0xff);
      block[i + 1] = char(v >> 8);
    }
    if (out.write(block, got) != got) return fail(writeError);
    processed += got;
  }
  if (!out.flush()) return fail(writeError);
  out.close();
  in.close();
  // rename(2) replaces the WAV atomically: the track exists under its name at every moment.
  if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(fileName).constData()) != 0) {
    QFile::remove(temporary);
    return LangString("RES_Normalize_Replace").arg(fileName);
  }
  return {};
}

}  // namespace trackmill
