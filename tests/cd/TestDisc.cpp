#include "tests/cd/TestDisc.h"

#include <QFile>

#include "tests/support/TestPaths.h"
#include "cd/Drive.h"
#include "cd/DriveTypes.h"
#include <gtest/gtest.h>

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

std::shared_ptr<CdDrive> OpenWithDamageMap(const TestDisc& disc, const QByteArray& map) {
  EXPECT_TRUE(disc.Ok()) << disc.Error().toStdString();
  EXPECT_TRUE(WriteBytes(disc.CuePath() + ".damage", map));
  ClearDiscImages();
  AddDiscImage(disc.CuePath());
  return CdDrive::Open(ListDrives().front());
}

}  // namespace trackmill::test
