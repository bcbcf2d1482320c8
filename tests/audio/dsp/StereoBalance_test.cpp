#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "audio/core/AuException.h"
#include "audio/dsp/BalanceLaw.h"
#include "audio/dsp/StereoBalance.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

using test::DrainInput;
using test::Pcm16;
using test::PcmMemoryInput;
using test::Samples16;

struct BalanceCase {
  float balance;
  std::int16_t left, right;  // from the frame (10000, -10000)
};

class BalanceLaw16 : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(BalanceLaw16, ScalesOneSideAroundTheCentre) {
  const BalanceCase c = GetParam();
  std::vector<std::int16_t> frame = {10000, -10000};
  ApplyStereoBalance(reinterpret_cast<std::uint8_t*>(frame.data()), 1, 16, c.balance);
  EXPECT_EQ(frame[0], c.left) << c.balance;
  EXPECT_EQ(frame[1], c.right) << c.balance;
}

INSTANTIATE_TEST_SUITE_P(Positions, BalanceLaw16,
                         ::testing::Values(BalanceCase{0.5f, 10000, -10000}, BalanceCase{1.0f, 0, -10000},
                                           BalanceCase{0.0f, 10000, 0}, BalanceCase{0.75f, 5000, -10000},
                                           BalanceCase{0.25f, 10000, -5000}, BalanceCase{0.6f, 8000, -10000}));

TEST(BalanceLaw, EightBitSilenceIsTheMidpoint) {
  std::uint8_t frames[] = {200, 60, 128, 128};
  ApplyStereoBalance(frames, 2, 8, 1.0f);  // left silenced
  EXPECT_EQ(frames[0], 128);
  EXPECT_EQ(frames[1], 60);
  ApplyStereoBalance(frames, 2, 8, 0.25f);  // right at half: 60 -> 128 - 34
  EXPECT_EQ(frames[1], 94);
  EXPECT_EQ(frames[3], 128);
}

TEST(BalanceLaw, TwentyFourBitSamplesKeepTheirSign) {
  // left -4000000 (0xC2F700), right 3000000 (0x2DC6C0)
  std::uint8_t frame[] = {0x00, 0xF7, 0xC2, 0xC0, 0xC6, 0x2D};
  ApplyStereoBalance(frame, 1, 24, 0.75f);
  std::int32_t left = frame[0] | (frame[1] << 8) | (frame[2] << 16);
  left -= 0x1000000;
  EXPECT_EQ(left, -2000000);
  EXPECT_EQ(frame[3], 0xC0);
  EXPECT_EQ(frame[5], 0x2D);
}

TEST(StereoBalance, MakesMonoStereoAndDoublesTheSize) {
  PcmMemoryInput input(Pcm16({100, -200, 300}), 16, 1, 22050);
  TStereoBalance balance;
  balance.SetInput(&input);
  EXPECT_EQ(balance.GetChannels(), 2);
  balance.Init();
  EXPECT_EQ(balance.Size(), 12);
  balance.Flush();
  balance.SetBalance(1.0f);
  EXPECT_EQ(Samples16(DrainInput(balance)), (std::vector<std::int16_t>{0, 100, 0, -200, 0, 300}));
}

TEST(StereoBalance, IgnoresValuesOutsideTheRangeAndNeedsAnInput) {
  TStereoBalance balance;
  balance.SetBalance(0.2f);
  balance.SetBalance(1.5f);
  balance.SetBalance(-0.1f);
  EXPECT_FLOAT_EQ(balance.Balance(), 0.2f);
  EXPECT_THROW(balance.GetChannels(), EAuException);
  EXPECT_THROW(balance.Init(), EAuException);
}

TEST(StereoBalance, PassesMoreThanTwoChannelsThrough) {
  const QByteArray pcm = Pcm16({1, 2, 3, 4, 5, 6});
  PcmMemoryInput input(pcm, 16, 3, 44100);
  TStereoBalance balance;
  balance.SetInput(&input);
  balance.SetBalance(0.0f);
  EXPECT_EQ(balance.GetChannels(), 3);
  EXPECT_EQ(DrainInput(balance), pcm);
}

}  // namespace
}  // namespace trackmill
