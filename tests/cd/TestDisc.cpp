#include "tests/cd/TestDisc.h"

#include <QFile>

#include "tests/support/TestPaths.h"

namespace trackmill::test {

TestDisc::TestDisc(const QStringList& trackSpecs, const QStringList& extra) {
  QStringList args{"--out", dir_.filePath("disc"), "--expect", dir_.path()};
  for (const QString& spec : trackSpecs) args << "--track" << spec;
  args << extra;
  const ProcessResult result = RunProgram(ToolProgram("discimage"), args);
  ok_ = dir_.isValid() && result.exitCode == 0;
  error_ = QString::fromUtf8(result.err);
}

QByteArray TestDisc::ExpectedTrack(int track) const {
  return ReadBytes(dir_.filePath(QStringLiteral("track%1.pcm").arg(track, 2, 10, QChar('0'))));
}

}  // namespace trackmill::test
