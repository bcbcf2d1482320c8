#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <vector>

#include "player/PortAudioOutput.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/audio/RunOutput.h"
#include "tests/player/AlsaTestSink.h"

namespace trackmill {
namespace {

using test::AlsaTestSink;
using test::PcmMemoryInput;
using test::RunOutputToEnd;
using test::WithoutSilentFrames;

// 16-bit stereo with no silent frame, so that the silence a sound output adds can be told
// from the signal.
QByteArray Signal(int frames) {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < frames; ++i) {
    samples.push_back(std::int16_t(1 + i % 20000));
    samples.push_back(std::int16_t(-1 - i % 7000));
  }
  return test::Pcm16(samples);
}

TEST(PortAudioOutput, PlaysEveryFrameOnceInOrderAndAppliesTheLatency) {
  AlsaTestSink sink;
  const QByteArray pcm = Signal(44100 * 6 / 10);
  PcmMemoryInput input(pcm, 16, 2, 44100, 5000);
  PortAudioOutput output;
  ASSERT_FALSE(output.Devices().isEmpty());
  output.SetLatency(80);
  int underruns = 0;
  output.SetOnUnderrun([&](TAuOutput*) { ++underruns; });
  output.SetInput(&input);

  EXPECT_EQ(RunOutputToEnd(output), QString());
  EXPECT_EQ(output.FramesInBuffer(), 3528);
  EXPECT_EQ(output.PollingInterval(), 26);
  // The null sink takes data faster than real time, so underruns happen; none may lose or
  // repeat a frame.
  EXPECT_EQ(WithoutSilentFrames(sink.Played()), pcm) << underruns << " underruns";
  EXPECT_EQ(output.Status(), 2);
}

TEST(PortAudioOutput, ReadsWithoutPrefetchAtTheMinimumLatencyAndScaledRate) {
  AlsaTestSink sink;
  const QByteArray pcm = Signal(30000);
  PcmMemoryInput input(pcm, 16, 2, 44100, 3000);
  PortAudioOutput output;
  output.SetLatency(5);
  output.SetPrefetchData(false);
  output.SetSpeedFactor(1.5f);
  output.SetInput(&input);

  EXPECT_EQ(RunOutputToEnd(output), QString());
  EXPECT_EQ(output.Latency(), 10);
  EXPECT_EQ(output.PlaybackRate(), 66150);
  EXPECT_EQ(output.FramesInBuffer(), 661);
  EXPECT_EQ(output.PollingInterval(), 3);
  EXPECT_EQ(WithoutSilentFrames(sink.Played()), pcm);
}

TEST(PortAudioOutput, RefusesADeviceNumberBeyondTheList) {
  AlsaTestSink sink;
  PcmMemoryInput input(Signal(100), 16, 2, 44100);
  PortAudioOutput output;
  output.SetDeviceNumber(int(output.Devices().size()));
  output.SetInput(&input);
  EXPECT_EQ(RunOutputToEnd(output), QStringLiteral("Invalid device number"));
}

TEST(PortAudioOutput, EndsWithAnErrorOnAMachineWithoutSoundDevice) {
  AlsaTestSink noDevice(true);
  PcmMemoryInput input(Signal(100), 16, 2, 44100);
  PortAudioOutput output;
  output.SetInput(&input);
  EXPECT_EQ(RunOutputToEnd(output), QStringLiteral("No sound output device found"));
}

TEST(PortAudioOutput, PausesResumesAndStopsWhilePaused) {
  AlsaTestSink sink;
  const QByteArray pcm = Signal(44100 * 20);
  PcmMemoryInput input(pcm, 16, 2, 44100, 8192);
  PortAudioOutput output;
  output.SetLatency(80);
  output.SetInput(&input);
  bool done = false;
  output.SetOnDone([&](TAuOutput*) { done = true; });
  output.Run();
  auto wait = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  wait(300);
  output.Pause();
  EXPECT_EQ(output.Status(), 1);
  wait(200);
  const qsizetype playedWhilePaused = sink.Played().size();
  wait(200);
  // Paused: the device gets only silence.
  EXPECT_EQ(WithoutSilentFrames(sink.Played().mid(playedWhilePaused)), QByteArray());
  output.Resume();
  wait(200);
  EXPECT_EQ(output.Status(), 0);
  output.Pause();
  output.Resume();
  output.Stop();
  for (int i = 0; i < 100 && !done; ++i) wait(50);
  EXPECT_TRUE(done);
  const QByteArray played = WithoutSilentFrames(sink.Played());
  EXPECT_GT(played.size(), 0);
  EXPECT_EQ(played, pcm.left(played.size()));
}

}  // namespace
}  // namespace trackmill
