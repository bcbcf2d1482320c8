#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "audio/dsp/SampleFormat.h"

namespace trackmill::samples {
namespace {

struct FromFloatCase {
  int bits;
  float x;
  std::int64_t expected;
};

std::int64_t Written(int bits, float x) {
  std::uint8_t bytes[4] = {};
  FromFloats(&x, 1, bits, bytes);
  switch (bits) {
    case 8: return bytes[0];
    case 16: return std::int16_t(bytes[0] | (bytes[1] << 8));
    case 24: {
      std::int32_t v = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16);
      return (v & 0x800000) ? v - 0x1000000 : v;
    }
    default: return std::int32_t(std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
                                 (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24));
  }
}

class FromFloatRounding : public ::testing::TestWithParam<FromFloatCase> {};

TEST_P(FromFloatRounding, WritesTheRoundedSample) {
  const FromFloatCase c = GetParam();
  EXPECT_EQ(Written(c.bits, c.x), c.expected) << c.bits << "-bit from " << c.x;
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FromFloatRounding,
    ::testing::Values(
        // 8-bit: floor((x + 1) * 128), saturating at both ends.
        FromFloatCase{8, 0.0f, 128}, FromFloatCase{8, 1.0f, 255}, FromFloatCase{8, 3.0f, 255},
        FromFloatCase{8, -1.0f, 0}, FromFloatCase{8, -0.999f, 0}, FromFloatCase{8, 0.5f, 192},
        FromFloatCase{8, 0.99f, 254},
        // 16-bit: nearest, halves to even (0.5 * 32767 = 16383.5 -> 16384), clamped at +-32767.
        FromFloatCase{16, 0.5f, 16384}, FromFloatCase{16, -0.5f, -16384}, FromFloatCase{16, 1.0f, 32767},
        FromFloatCase{16, 1.5f, 32767}, FromFloatCase{16, -1.0f, -32767}, FromFloatCase{16, -7.0f, -32767},
        // 24-bit: floor, so negative halves go down.
        FromFloatCase{24, 0.5f, 4194303}, FromFloatCase{24, -0.5f, -4194304}, FromFloatCase{24, 1.0f, 8388607},
        FromFloatCase{24, -2.0f, -8388607},
        // 32-bit: nearest even in double precision.
        FromFloatCase{32, 0.5f, 1073741824}, FromFloatCase{32, 1.0f, 2147483647},
        FromFloatCase{32, -1.0f, -2147483647}));

TEST(SampleToFloat, UsesTheFullScaleOfEachWidth) {
  const std::uint8_t pcm8[] = {0, 128, 255};
  float f[3];
  ToFloats(pcm8, 8, 3, f);
  EXPECT_FLOAT_EQ(f[0], -1.0f);
  EXPECT_FLOAT_EQ(f[1], 0.0f);
  EXPECT_FLOAT_EQ(f[2], 0.9921875f);

  const std::uint8_t pcm16[] = {0x00, 0x80, 0xFF, 0x7F};  // -32768, 32767
  ToFloats(pcm16, 16, 2, f);
  EXPECT_FLOAT_EQ(f[0], -1.0f);
  EXPECT_FLOAT_EQ(f[1], 32767.0f / 32768.0f);

  const std::uint8_t pcm24[] = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x01, 0x00, 0x00};
  ToFloats(pcm24, 24, 3, f);
  EXPECT_FLOAT_EQ(f[0], -1.0f);
  EXPECT_FLOAT_EQ(f[1], 8388607.0f / 8388608.0f);
  EXPECT_FLOAT_EQ(f[2], 1.0f / 8388608.0f);

  const std::uint8_t pcm32[] = {0x00, 0x00, 0x00, 0x80};
  ToFloats(pcm32, 32, 1, f);
  EXPECT_FLOAT_EQ(f[0], -1.0f);
}

TEST(SampleToFloat, TwentyFourBitSamplesAreStoredLowByteFirst) {
  const float x = 0.25f;  // floor(0.25 * 8388607) = 2097151 = 0x1FFFFF
  std::uint8_t bytes[3];
  FromFloats(&x, 1, 24, bytes);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(bytes[2], 0x1F);
}

// Whole blocks take a vector path; every sample must still follow the single-sample rule.
TEST(SampleFromFloats, BlocksRoundEverySampleLikeTheSingleSampleRule) {
  std::vector<float> in;
  for (int v = -32768; v <= 32767; v += 97) {
    in.push_back((float(v) + 0.5f) / 32767.0f);  // ties after scaling
    in.push_back(float(v) / 32768.0f);
  }
  const float inf = std::numeric_limits<float>::infinity();
  for (float odd : {1.0f, -1.0f, 1.0000001f, -1.0000001f, 40.0f, -40.0f, inf, -inf, 0.0f, -0.0f, 1e-30f})
    in.push_back(odd);
  in.resize(in.size() + 5, 0.25f);  // a tail shorter than one vector
  std::vector<std::uint8_t> bytes(in.size() * 2);
  FromFloats(in.data(), in.size(), 16, bytes.data());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const auto written = std::int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    ASSERT_EQ(written, ToPcm16(in[i])) << "sample " << i << " = " << in[i];
  }
}

TEST(SampleFromFloats, NotANumberBecomesSilenceAtEveryWidth) {
  const std::vector<float> nans(16, std::numeric_limits<float>::quiet_NaN());
  for (int bits : {8, 16, 24, 32}) {
    std::vector<std::uint8_t> bytes(nans.size() * std::size_t(bits / 8), 0xAA);
    FromFloats(nans.data(), nans.size(), bits, bytes.data());
    for (std::size_t i = 0; i < bytes.size(); ++i)
      ASSERT_EQ(bytes[i], bits == 8 ? 128 : 0) << bits << "-bit byte " << i;
  }
}

}  // namespace
}  // namespace trackmill::samples
