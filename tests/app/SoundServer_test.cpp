#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <vector>

#include "audio/wav/WavFormat.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/cd/TestDisc.h"
#include "tests/player/AlsaTestSink.h"
#include "tests/player/PulseNullSink.h"
#include "tests/support/TestPaths.h"

namespace trackmill::test {
namespace {

// 16-bit stereo at 44.1 kHz without a silent frame, unlike any shifted or resampled copy of
// itself.
QByteArray DistinctSignal(int seconds) {
  std::vector<std::int16_t> samples;
  std::uint32_t noise = 1;
  for (int i = 0; i < 44100 * 2 * seconds; ++i) {
    noise = noise * 1103515245u + 12345u;
    samples.push_back(std::int16_t(1 + (noise >> 16) % 20000));
  }
  return Pcm16(samples);
}

// What a sound server passes on may start late and holds silence where the output ran dry, but
// every sample it plays must be one that was sent, in order, at the rate it was sent at.
void ExpectHeard(const QByteArray& recorded, const QByteArray& sent) {
  const QByteArray heard = WithoutSilentFrames(recorded);
  EXPECT_GE(heard.size(), sent.size() * 98 / 100) << "heard " << heard.size() << " of " << sent.size() << " bytes";
  EXPECT_LE(heard.size(), sent.size());
  EXPECT_TRUE(sent.contains(heard)) << "what was heard is not the signal as sent";
}

TEST(SoundServer, PlaysFilesAndTracksAndRecordsThroughTheAlsaDefaultItServes) {
  PulseNullSink sink;
  if (!sink.Available()) GTEST_SKIP() << "no sound server can start here: " << sink.Log().toStdString();
  QTemporaryDir dir;
  const QByteArray signal = DistinctSignal(2);
  const QString wav = dir.filePath("signal.wav");
  ASSERT_TRUE(WriteBytes(wav, wav::PcmHeader(2, 44100, 16, quint32(signal.size())) + signal));

  ProcessResult result;
  QByteArray recorded = sink.Record([&] { result = RunProgram(TrackmillProgram(), {"play", wav}); });
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  ExpectHeard(recorded, signal);

  TestDisc disc({"1s", "2s", "1s"});
  ASSERT_TRUE(disc.Ok());
  recorded = sink.Record([&] {
    result = RunProgram(TrackmillProgram(), {"play", "--disc-image", disc.CuePath(), "--track", "2"});
  });
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  ExpectHeard(recorded, WithoutSilentFrames(disc.ExpectedTrack(2)));

  if (HaveProgram("oggenc")) {
    const QString ogg = dir.filePath("signal.ogg");
    ASSERT_EQ(RunProgram("oggenc", {"-Q", "-o", ogg, wav}).exitCode, 0);
    recorded = sink.Record([&] { result = RunProgram(TrackmillProgram(), {"play", ogg}); });
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Lossy: only the length can be held to the original.
    EXPECT_NEAR(double(WithoutSilentFrames(recorded).size()), double(signal.size()), signal.size() * 0.03);
  }

  // The recorder takes the server's default source, the sink's monitor, while a peer plays.
  if (HaveProgram("paplay")) {
    const QByteArray played = DistinctSignal(6);
    const QString source = dir.filePath("long.wav");
    ASSERT_TRUE(WriteBytes(source, wav::PcmHeader(2, 44100, 16, quint32(played.size())) + played));
    QProcess peer;
    peer.start("paplay", {"-d", PulseNullSink::kSinkName, source});
    ASSERT_TRUE(peer.waitForStarted());
    const QString take = dir.filePath("take.wav");
    result = RunProgram(TrackmillProgram(), {"record", take, "--seconds", "2"});
    peer.waitForFinished();
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray taken = WithoutSilentFrames(ReadBytes(take).mid(44));
    EXPECT_GE(taken.size(), 44100 * 4 * 19 / 10);
    EXPECT_TRUE(played.contains(taken)) << "the recording is not the signal as played";
  }
}

}  // namespace
}  // namespace trackmill::test
