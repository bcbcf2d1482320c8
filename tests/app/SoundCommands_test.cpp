#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <vector>

#include "audio/wav/WavFormat.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/cd/TestDisc.h"
#include "tests/player/AlsaTestSink.h"
#include "tests/player/PulseNullSink.h"
#include "tests/support/TestPaths.h"

namespace trackmill::test {
namespace {

// Two seconds of 16-bit stereo without a silent frame.
QByteArray KnownSignal() {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < 44100 * 2; ++i) {
    samples.push_back(std::int16_t(1 + (i * 37) % 30000));
    samples.push_back(std::int16_t(-1 - (i * 11) % 9000));
  }
  return Pcm16(samples);
}

// A 16-bit stereo 44.1 kHz WAV file of pcm in dir.
QString WriteWav(const QTemporaryDir& dir, const QString& name, const QByteArray& pcm) {
  const QString path = dir.filePath(name);
  EXPECT_TRUE(WriteBytes(path, wav::PcmHeader(2, 44100, 16, quint32(pcm.size())) + pcm));
  return path;
}

// What a sound server passes on may start late and holds silence where the output ran dry, but
// every sample it plays must be one that was sent, in order, at the rate it was sent at.
void ExpectHeard(const QByteArray& recorded, const QByteArray& sent) {
  const QByteArray heard = WithoutSilentFrames(recorded);
  EXPECT_GE(heard.size(), sent.size() * 98 / 100) << "heard " << heard.size() << " of " << sent.size() << " bytes";
  EXPECT_LE(heard.size(), sent.size());
  EXPECT_TRUE(sent.contains(heard)) << "what was heard is not the signal as sent";
}

TEST(SoundCommands, RecordKeepsTheInputsSamplesAndPlayPlaysFilesAndTracks) {
  const QByteArray known = KnownSignal();
  AlsaTestSink sink(false, known);
  QTemporaryDir dir;
  const QString wav = dir.filePath("take.wav");
  ProcessResult result = RunProgram(TrackmillProgram(), {"record", wav, "--seconds", "1"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QByteArray recorded = ReadBytes(wav);
  ASSERT_EQ(recorded.size(), 44 + 176400);
  EXPECT_EQ(recorded.mid(44), known.left(176400));
  if (HaveProgram("sox")) {
    const ProcessResult info = RunProgram("sox", {"--i", "-s", wav});
    EXPECT_EQ(info.out.trimmed(), "44100");
  }
  // Never over a file the user had.
  EXPECT_NE(RunProgram(TrackmillProgram(), {"record", wav, "--seconds", "1"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(wav), recorded);

  result = RunProgram(TrackmillProgram(), {"play", wav});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(WithoutSilentFrames(sink.Played()), known.left(176400));

  TestDisc disc({"1s", "40:20", "1s"});
  ASSERT_TRUE(disc.Ok());
  QFile::remove(sink.PlayedPath());
  result = RunProgram(TrackmillProgram(), {"play", "--disc-image", disc.CuePath(), "--track", "2"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(WithoutSilentFrames(sink.Played()), WithoutSilentFrames(disc.ExpectedTrack(2)));
  EXPECT_NE(RunProgram(TrackmillProgram(), {"play", "--disc-image", disc.CuePath(), "--track", "9"}).exitCode, 0);
}

TEST(SoundCommands, CtrlCEndsARecordingWithAValidFileAndNoInputIsAnError) {
  AlsaTestSink sink(false, KnownSignal());
  QTemporaryDir dir;
  const QString wav = dir.filePath("open.wav");
  QProcess record;
  record.start(TrackmillProgram(), {"record", wav, "--rate", "8000", "--bits", "8", "--channels", "1"});
  ASSERT_TRUE(record.waitForStarted(10000));
  for (int i = 0; i < 100 && QFile(wav).size() < 8044; ++i) QThread::msleep(50);
  ::kill(pid_t(record.processId()), SIGINT);
  ASSERT_TRUE(record.waitForFinished(10000));
  EXPECT_EQ(record.exitCode(), 130) << record.readAllStandardError().toStdString();
  const QByteArray file = ReadBytes(wav);
  ASSERT_GE(file.size(), 8044);
  EXPECT_EQ(file.left(44), wav::PcmHeader(1, 8000, 8, quint32(file.size() - 44)));

  AlsaTestSink noDevice(true);
  const QString none = dir.filePath("none.wav");
  const ProcessResult failed = RunProgram(TrackmillProgram(), {"record", none, "--seconds", "1"}, 20000);
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(failed.err.contains("sound input")) << failed.err.toStdString();
  EXPECT_FALSE(QFile::exists(none));
}

// Desktop sound themes name their Ogg Vorbis files .oga; a damaged page in the middle is
// skipped, said once, and the rest is played.
TEST(SoundCommands, PlayGoesOnPastADamagedOggPageAndSaysSo) {
  if (!HaveProgram("oggenc")) GTEST_SKIP() << "oggenc is needed";
  AlsaTestSink sink;
  QTemporaryDir dir;
  const QString wav = WriteWav(dir, "known.wav", KnownSignal() + KnownSignal() + KnownSignal());
  const QString ogg = dir.filePath("bell.oga");
  ASSERT_EQ(RunProgram("oggenc", {"-Q", "-o", ogg, wav}).exitCode, 0);
  QByteArray bytes = ReadBytes(ogg);
  for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i) bytes[i] = char(i * 131 + 7);
  ASSERT_TRUE(WriteBytes(ogg, bytes));

  const ProcessResult result = RunProgram(TrackmillProgram(), {"play", ogg});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(result.err.count("damaged data skipped"), 1) << result.err.toStdString();
  const double playedSeconds = double(WithoutSilentFrames(sink.Played()).size()) / (44100 * 4);
  EXPECT_GT(playedSeconds, 4.5);
  EXPECT_LT(playedSeconds, 6.0);
}

TEST(SoundCommands, PlayAndRecordWorkThroughASoundServerBehindTheAlsaDefault) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // Real-time sound through a server is a matter of timing, which a sanitizer's slowdown takes
  // apart (clients time out and are refused); the sound code's memory use is checked by the
  // other sound tests.
  GTEST_SKIP() << "timing-bound: not run under a sanitizer";
#endif
  PulseNullSink sink;
  if (!sink.Available()) GTEST_SKIP() << "no sound server can start here";
  QTemporaryDir dir;
  const QByteArray known = KnownSignal();
  const QString wav = WriteWav(dir, "known.wav", known);
  ProcessResult result;
  QByteArray recorded = sink.Record([&] { result = RunProgram(TrackmillProgram(), {"play", wav}); });
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  ExpectHeard(recorded, known);

  TestDisc disc({"1s", "2s", "1s"});
  ASSERT_TRUE(disc.Ok());
  recorded = sink.Record([&] {
    result = RunProgram(TrackmillProgram(), {"play", "--disc-image", disc.CuePath(), "--track", "2"});
  });
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  ExpectHeard(recorded, WithoutSilentFrames(disc.ExpectedTrack(2)));

  if (HaveProgram("oggenc")) {
    const QString ogg = dir.filePath("known.ogg");
    ASSERT_EQ(RunProgram("oggenc", {"-Q", "-o", ogg, wav}).exitCode, 0);
    recorded = sink.Record([&] { result = RunProgram(TrackmillProgram(), {"play", ogg}); });
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Lossy: only the length can be held to the original.
    EXPECT_NEAR(double(WithoutSilentFrames(recorded).size()), double(known.size()), known.size() * 0.03);
  }

  // The recorder takes the server's default source, the sink's monitor, while a peer plays.
  if (HaveProgram("paplay")) {
    const QByteArray played = known + known + known;
    QProcess peer;
    peer.start("paplay", {"-d", PulseNullSink::kSinkName, WriteWav(dir, "long.wav", played)});
    ASSERT_TRUE(peer.waitForStarted());
    const QString take = dir.filePath("take.wav");
    result = RunProgram(TrackmillProgram(), {"record", take, "--seconds", "2"});
    peer.waitForFinished();
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray taken = WithoutSilentFrames(ReadBytes(take).mid(44));
    EXPECT_GE(taken.size(), known.size() * 95 / 100);
    EXPECT_TRUE(played.contains(taken)) << "the recording is not the signal as played";
  }
}

}  // namespace
}  // namespace trackmill::test
