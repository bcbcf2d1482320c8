#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "audio/core/AuException.h"
#include "audio/dsp/WaveFileConversion.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::HaveProgram;
using test::RunProgram;

QString Soxi(const QString& option, const QString& path) {
  return QString::fromUtf8(RunProgram("soxi", {option, path}).out).trimmed();
}

QByteArray Digest(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// Runs a conversion to its end; returns its failure text (empty on success).
QString Convert(WaveFileConversion& conversion, const WaveConversionOptions& options) {
  QEventLoop loop;
  QString failure = QStringLiteral("the run did not end");
  auto c = QObject::connect(&conversion, &WaveFileConversion::finished, &loop, [&](const QString& message) {
    failure = message;
    loop.quit();
  });
  conversion.Start(options);
  QTimer::singleShot(120000, &loop, &QEventLoop::quit);
  loop.exec();
  QObject::disconnect(c);
  return failure;
}

class WaveFileConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("sox") || !HaveProgram("soxi")) GTEST_SKIP() << "sox is needed";
    source_ = dir_.filePath("source.wav");
    ASSERT_EQ(RunProgram("sox", {"-r", "44100", "-c", "2", "-n", "-b", "16", source_, "synth", "44100s", "sine",
                                 "500", "sine", "800", "vol", "0.5"}).exitCode, 0);
  }
  QTemporaryDir dir_;
  QString source_;
};

struct FormatCase {
  quint32 rate;
  int channels;
  int bits;
  TWavType encoding;
  const char* soxEncoding;  // soxi -e
};

class WaveFileFormats : public WaveFileConversionTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(WaveFileFormats, OutputIsReadBySoxWithTheChosenFormat) {
  const FormatCase c = GetParam();
  WaveFileConversion conversion;
  ASSERT_TRUE(conversion.SetInputFile(source_));
  const QString out = dir_.filePath("out.wav");
  ASSERT_TRUE(conversion.SetOutputFile(out));
  ASSERT_EQ(Convert(conversion, {c.rate, c.channels, c.bits, c.encoding}), QString());
  EXPECT_EQ(Soxi("-r", out), QString::number(c.rate));
  EXPECT_EQ(Soxi("-c", out), QString::number(c.channels));
  EXPECT_EQ(Soxi("-e", out), QString::fromLatin1(c.soxEncoding));
  if (c.encoding == TWavType::wtPCM) { EXPECT_EQ(Soxi("-b", out), QString::number(c.bits)); }
  // One second of input gives one second of output (ADPCM rounds up to whole blocks).
  const qint64 samples = Soxi("-s", out).toLongLong();
  EXPECT_GE(samples, qint64(c.rate) - 1);
  EXPECT_LE(samples, qint64(c.rate) + (c.encoding == TWavType::wtDVIADPCM ? 1017 : 0));
  // The samples are the tones, not noise: two sines at half scale have an RMS of 0.35 per
  // channel, 0.25 when mixed to mono.
  const QString stat = QString::fromUtf8(RunProgram("sox", {out, "-n", "stat"}).err);
  const qsizetype at = stat.indexOf("RMS     amplitude:");
  ASSERT_GE(at, 0) << stat.toStdString();
  const double rms = stat.mid(at + 18).section('\n', 0, 0).trimmed().toDouble();
  EXPECT_GT(rms, 0.2) << stat.toStdString();
  EXPECT_LT(rms, 0.4) << stat.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveFileFormats,
    ::testing::Values(FormatCase{22050, 1, 8, TWavType::wtPCM, "Unsigned Integer PCM"},
                      FormatCase{44100, 2, 16, TWavType::wtPCM, "Signed Integer PCM"},
                      FormatCase{48000, 2, 24, TWavType::wtPCM, "Signed Integer PCM"},
                      FormatCase{11025, 1, 32, TWavType::wtPCM, "Signed Integer PCM"},
                      FormatCase{8000, 1, 16, TWavType::wtDVIADPCM, "IMA ADPCM"},
                      FormatCase{22050, 2, 16, TWavType::wtDVIADPCM, "IMA ADPCM"}));

TEST_F(WaveFileConversionTest, RefusesMissingOutputsBadInputsAndTheInputItself) {
  WaveFileConversion conversion;
  ASSERT_TRUE(conversion.SetInputFile(source_));
  EXPECT_FALSE(conversion.SetOutputFile(dir_.filePath("out.wma")));
  try {
    conversion.Start({});
    ADD_FAILURE() << "started without an output";
  } catch (const EAuException& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("The output file name is not set!"));
  }

  const QByteArray before = Digest(source_);
  ASSERT_TRUE(conversion.SetOutputFile(source_));
  EXPECT_THROW(conversion.Start({}), EAuException);
  EXPECT_EQ(Digest(source_), before);

  QFile text(dir_.filePath("notes.wav"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("these are not samples");
  text.close();
  EXPECT_FALSE(conversion.SetInputFile(text.fileName()));
  ASSERT_TRUE(conversion.SetOutputFile(dir_.filePath("out.wav")));
  EXPECT_THROW(conversion.Start({}), EAuException);
  EXPECT_FALSE(QFile::exists(dir_.filePath("out.wav")));
}

TEST_F(WaveFileConversionTest, EightBitMonoInputIsOnlyResampledAndCanBeConvertedTwice) {
  const QString mono8 = dir_.filePath("mono8.wav");
  ASSERT_EQ(RunProgram("sox", {source_, "-b", "8", "-c", "1", mono8}).exitCode, 0);
  WaveFileConversion conversion;
  ASSERT_TRUE(conversion.SetInputFile(mono8));
  EXPECT_EQ(conversion.InputChannels(), 1);
  EXPECT_EQ(conversion.InputBitsPerSample(), 8);
  EXPECT_EQ(conversion.InputEncodingName(), QStringLiteral("Raw PCM"));
  const QString out = dir_.filePath("out.wav");
  ASSERT_TRUE(conversion.SetOutputFile(out));
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(Convert(conversion, {}), QString()) << run;
    EXPECT_EQ(Soxi("-r", out), "22050");
    EXPECT_EQ(Soxi("-b", out), "8");
    EXPECT_EQ(Soxi("-s", out).toLongLong(), 22050);
  }
}

}  // namespace
}  // namespace trackmill
