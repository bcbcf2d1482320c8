#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/resource.h>
#include <QTemporaryDir>

#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::HaveProgram;
using test::RunProgram;
using test::TrackmillProgram;

QString Soxi(const QString& option, const QString& path) {
  return QString::fromUtf8(RunProgram("soxi", {option, path}).out).trimmed();
}

class Wav2WavCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("sox") || !HaveProgram("soxi")) GTEST_SKIP() << "sox is needed";
    input_ = dir_.filePath("in.wav");
    ASSERT_EQ(RunProgram("sox", {"-r", "44100", "-c", "2", "-n", "-b", "16", input_, "synth", "0.5", "sine", "440",
                                 "vol", "0.5"}).exitCode, 0);
  }
  test::ProcessResult Convert(const QStringList& args) {
    return RunProgram(TrackmillProgram(), QStringList{"convert", "wav2wav"} + args);
  }
  QTemporaryDir dir_;
  QString input_;
};

TEST_F(Wav2WavCommand, DefaultsAreTheWindowsAndOptionsChooseTheFormat) {
  const QString out = dir_.filePath("default.wav");
  const test::ProcessResult r = Convert({input_, out});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(Soxi("-r", out), "22050");
  EXPECT_EQ(Soxi("-c", out), "1");
  EXPECT_EQ(Soxi("-b", out), "8");

  const QString ima = dir_.filePath("ima.wav");
  const test::ProcessResult r2 =
      Convert({input_, ima, "--rate", "8000", "--channels", "2", "--encoding", "ima-adpcm"});
  ASSERT_EQ(r2.exitCode, 0) << r2.err.toStdString();
  EXPECT_EQ(Soxi("-e", ima), "IMA ADPCM");
  EXPECT_EQ(Soxi("-r", ima), "8000");
  EXPECT_EQ(Soxi("-c", ima), "2");

  const QString wide = dir_.filePath("wide.wav");
  ASSERT_EQ(Convert({"--bits", "24", input_, wide, "--channels", "2", "--rate", "44100"}).exitCode, 0);
  EXPECT_EQ(Soxi("-b", wide), "24");
  EXPECT_EQ(Soxi("-s", wide), "22050");
}

TEST_F(Wav2WavCommand, UnsetParametersKeepTheInputsOnceOneIsGiven) {
  const QString out = dir_.filePath("rate.wav");
  ASSERT_EQ(Convert({input_, out, "--rate", "48000"}).exitCode, 0);
  EXPECT_EQ(Soxi("-r", out) + Soxi("-c", out) + Soxi("-b", out), "48000" "2" "16");
  const QString mono = dir_.filePath("mono.wav");
  ASSERT_EQ(Convert({"--channels", "1", "--", input_, mono}).exitCode, 0);
  EXPECT_EQ(Soxi("-r", mono) + Soxi("-c", mono) + Soxi("-b", mono), "44100" "1" "16");

  for (const char* rate : {"999", "384001", "0"}) EXPECT_EQ(Convert({input_, out, "--rate", rate}).exitCode, 2) << rate;
  // After "--" every word is a file, even one that looks like an option.
  const test::ProcessResult operand = Convert({input_, "--", "--rate"});
  EXPECT_EQ(operand.exitCode, 2);
  EXPECT_TRUE(operand.err.contains("--rate: the output file must end in .wav")) << operand.err.toStdString();
}

TEST_F(Wav2WavCommand, BadInputsAndOptionsFailClearly) {
  QFile text(dir_.filePath("text.wav"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("no audio here");
  text.close();
  const QString out = dir_.filePath("out.wav");
  const test::ProcessResult bad = Convert({text.fileName(), out});
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_TRUE(bad.err.contains("not a wave file")) << bad.err.toStdString();
  EXPECT_FALSE(QFile::exists(out));

  EXPECT_NE(Convert({dir_.filePath("missing.wav"), out}).exitCode, 0);
  EXPECT_EQ(Convert({input_, out, "--bits", "12"}).exitCode, 2);
  EXPECT_EQ(Convert({input_, out, "--channels", "3"}).exitCode, 2);
  EXPECT_EQ(Convert({input_, out, "--rate", "fast"}).exitCode, 2);
  EXPECT_EQ(Convert({input_, out, "--encoding", "mp3"}).exitCode, 2);
  EXPECT_EQ(Convert({input_, out, "--encoding", "ima-adpcm", "--bits", "8"}).exitCode, 2);
  EXPECT_EQ(Convert({input_}).exitCode, 2);
  EXPECT_FALSE(QFile::exists(out));
}

TEST_F(Wav2WavCommand, NeverWritesOverTheInput) {
  QFile before(input_);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray original = before.readAll();
  before.close();
  EXPECT_NE(Convert({input_, input_}).exitCode, 0);
  QFile after(input_);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_TRUE(after.readAll() == original);
}

// The last data reaches the file only while the output finishes: a file-size limit one byte
// short of the whole file makes exactly that finishing write fail, and the run must say so.
TEST_F(Wav2WavCommand, FailureWhileFinishingFailsTheConversion) {
  const QString whole = dir_.filePath("whole.wav");
  ASSERT_EQ(Convert({input_, whole}).exitCode, 0);
  const qint64 size = QFileInfo(whole).size();
  QProcess process;
  process.setChildProcessModifier([size] {
    const rlimit limit{rlim_t(size - 1), rlim_t(size - 1)};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  process.start(TrackmillProgram(), {"convert", "wav2wav", input_, dir_.filePath("cut.wav")});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_NE(process.exitCode(), 0);
  EXPECT_TRUE(process.readAllStandardError().contains("Error writing wave file: File too large"));
}

}  // namespace
}  // namespace trackmill
