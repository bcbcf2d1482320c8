#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/core/AuException.h"
#include "audio/dsp/BlockResampler.h"
#include "audio/dsp/FastResampler.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

using test::DrainInput;
using test::Pcm16;
using test::PcmMemoryInput;
using test::Samples16;

std::vector<std::int16_t> StereoTone(double hz, int rate, int frames, double amplitude) {
  std::vector<std::int16_t> s(std::size_t(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    const auto v = std::int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate)));
    s[2 * std::size_t(i)] = v;
    s[2 * std::size_t(i) + 1] = v;
  }
  return s;
}

double Rms(const std::vector<std::int16_t>& s, std::size_t from) {
  double sum = 0;
  for (std::size_t i = from; i < s.size(); ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(s.size() - from));
}

struct BlockCase {
  std::uint32_t inRate, outRate;
  std::size_t inFrames, outFrames;
  double cutoff;
};

class ResamplerBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ResamplerBlock, OneFifthOfASecondGivesTheExpectedFrameCount) {
  const BlockCase c = GetParam();
  BlockResampler r(c.inRate, c.outRate, 2, 16);
  ASSERT_EQ(r.InputStepBytes(), c.inFrames * 4);
  std::vector<std::uint8_t> in(r.InputStepBytes(), 0);
  std::vector<std::uint8_t> out(r.MaxOutputBytes());
  EXPECT_EQ(r.Process(in.data(), in.size(), out.data()), c.outFrames * 4);
  EXPECT_NEAR(r.CutoffFraction(), c.cutoff, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Rates, ResamplerBlock,
                         ::testing::Values(BlockCase{44100, 22050, 8820, 4410, 0.2125},
                                           // the first frame of a block is held once only
                                           BlockCase{22050, 44100, 4410, 8819, 0.2125},
                                           BlockCase{44100, 48000, 8820, 9599, 0.425 * 8820 / 9600},
                                           BlockCase{48000, 8000, 9600, 1600, 0.425 * 1600 / 9600},
                                           BlockCase{8000, 44100, 1600, 8815, 0.425 * 1600 / 8820}));

TEST(ChebyshevLowPass, HasUnityGainAtZeroFrequency) {
  for (double fc : {0.05, 0.2125, 0.4}) {
    const ChebyshevCoefficients c = DesignChebyshevLowPass(fc);
    double sa = 0, sb = 0;
    for (double a : c.a) sa += a;
    for (double b : c.b) sb += b;
    EXPECT_NEAR(sa / (1.0 - sb), 1.0, 1e-9) << fc;
  }
}

TEST(FastResampler, EqualRatesPassTheDataThroughUnchanged) {
  const QByteArray pcm = Pcm16(StereoTone(1000, 44100, 5000, 12000));
  PcmMemoryInput input(pcm, 16, 2, 44100);
  TFastResampler resampler;
  resampler.SetInput(&input);
  resampler.SetOutSampleRate(44100);
  resampler.Init();
  EXPECT_EQ(resampler.Size(), pcm.size());
  resampler.Flush();
  EXPECT_EQ(DrainInput(resampler), pcm);
}

TEST(FastResampler, ReportsTheScaledSize) {
  PcmMemoryInput input(QByteArray(1000000, '\0'), 16, 2, 44100);
  TFastResampler resampler;
  resampler.SetInput(&input);
  resampler.SetOutSampleRate(22050);
  resampler.Init();
  EXPECT_EQ(resampler.Size(), 500000);
  EXPECT_EQ(resampler.GetSampleRate(), 22050);
  resampler.Flush();

  // 1001 frames halve to 500.5: the size stays on a whole frame.
  PcmMemoryInput odd(QByteArray(4004, '\0'), 16, 2, 44100);
  resampler.SetInput(&odd);
  resampler.Init();
  EXPECT_EQ(resampler.Size() % 4, 0);
  resampler.Flush();
}

TEST(FastResampler, DownsamplingKeepsLowTonesAndRemovesHighOnes) {
  const int frames = 44100;
  TFastResampler resampler;
  resampler.SetOutSampleRate(22050);

  PcmMemoryInput low(Pcm16(StereoTone(1000, 44100, frames, 10000)), 16, 2, 44100);
  resampler.SetInput(&low);
  const std::vector<std::int16_t> lowOut = Samples16(DrainInput(resampler));
  EXPECT_EQ(lowOut.size(), std::size_t(frames));  // 22050 stereo frames
  EXPECT_NEAR(Rms(lowOut, 2000), 10000 / std::sqrt(2.0), 10000 / std::sqrt(2.0) * 0.25);

  // 15 kHz is above the new Nyquist limit: it must not fold back into the output.
  PcmMemoryInput high(Pcm16(StereoTone(15000, 44100, frames, 10000)), 16, 2, 44100);
  resampler.SetInput(&high);
  EXPECT_LT(Rms(Samples16(DrainInput(resampler)), 2000), 30.0);
}

TEST(FastResampler, ResultDoesNotDependOnHowTheInputIsCut) {
  const QByteArray pcm = Pcm16(StereoTone(440, 22050, 30000, 8000));
  TFastResampler resampler;
  resampler.SetOutSampleRate(44100);
  PcmMemoryInput whole(pcm, 16, 2, 22050);
  resampler.SetInput(&whole);
  const QByteArray expected = DrainInput(resampler);
  // Pieces of 1234 bytes end inside frames and across the block boundaries.
  PcmMemoryInput pieces(pcm, 16, 2, 22050, 1234);
  resampler.SetInput(&pieces);
  EXPECT_EQ(DrainInput(resampler, 777), expected);
  EXPECT_EQ(expected.size() % 4, 0);
}

TEST(FastResampler, FailsClearlyWithoutInputOrWithUnsupportedFormats) {
  TFastResampler resampler;
  EXPECT_THROW(resampler.GetSampleRate(), EAuException);
  EXPECT_THROW(resampler.Init(), EAuException);
  PcmMemoryInput nine(QByteArray(18 * 100, '\0'), 16, 9, 44100);
  resampler.SetInput(&nine);
  EXPECT_THROW(resampler.Init(), EAuException);
  resampler.SetOutSampleRate(0);
  PcmMemoryInput stereo(QByteArray(400, '\0'), 16, 2, 44100);
  resampler.SetInput(&stereo);
  EXPECT_THROW(resampler.Init(), EAuException);
}

}  // namespace
}  // namespace trackmill
