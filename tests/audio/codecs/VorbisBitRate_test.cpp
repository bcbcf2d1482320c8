#include <gtest/gtest.h>

#include "audio/codecs/VorbisBitRate.h"

namespace trackmill {
namespace {

using enum TVorbisBitRate;

TEST(VorbisBitRates, NominalOnlyGivesAnOpenMaximumAndTheNominalAsMinimum) {
  VorbisBitRates r;
  r.SetNominal(bitrate128);
  EXPECT_EQ(r.Maximum(), bitrate128);  // raised from "auto" to the nominal rate
  r.SetMaximum(brAutoSelect);          // and opened again
  ASSERT_TRUE(r.IsManaged());
  const VorbisBitRates::Managed m = r.ManagedArguments();
  EXPECT_EQ(m.maximum, -1);
  EXPECT_EQ(m.nominal, 128000);
  EXPECT_EQ(m.minimum, 128000);
}

TEST(VorbisBitRates, LimitsOnTheWrongSideOfTheNominalRateAreIgnored) {
  VorbisBitRates r;
  r.SetNominal(bitrate128);
  r.SetMaximum(bitrate96);
  EXPECT_EQ(r.Maximum(), bitrate128);
  r.SetMinimum(bitrate160);
  EXPECT_EQ(r.Minimum(), brAutoSelect);
  r.SetMaximum(bitrate192);
  r.SetMinimum(bitrate64);
  EXPECT_EQ(r.Maximum(), bitrate192);
  EXPECT_EQ(r.Minimum(), bitrate64);
  const VorbisBitRates::Managed m = r.ManagedArguments();
  EXPECT_EQ(m.maximum, 192000);
  EXPECT_EQ(m.minimum, 64000);
}

TEST(VorbisBitRates, NominalRateDragsTheLimitsAlong) {
  VorbisBitRates r;
  r.SetMaximum(bitrate256);  // quality mode: no maximum
  EXPECT_EQ(r.Maximum(), brAutoSelect);
  r.SetMinimum(bitrate24);  // above "auto"
  EXPECT_EQ(r.Minimum(), brAutoSelect);
  r.SetNominal(bitrate112);
  EXPECT_EQ(r.Maximum(), bitrate112);  // raised to the nominal rate
  r.SetMinimum(bitrate96);
  r.SetNominal(bitrate80);
  EXPECT_EQ(r.Minimum(), bitrate80);  // lowered to it
  EXPECT_EQ(r.Maximum(), bitrate112);
  r.SetNominal(brAutoSelect);
  EXPECT_FALSE(r.IsManaged());
  EXPECT_EQ(r.Maximum(), brAutoSelect);
  EXPECT_EQ(r.Minimum(), brAutoSelect);
}

TEST(VorbisBitRates, ValuesAndPositions) {
  EXPECT_EQ(VorbisBitRateValue(brAutoSelect), -1);
  EXPECT_EQ(VorbisBitRateValue(bitrate24), 24000);
  EXPECT_EQ(VorbisBitRateValue(bitrate45), 45000);
  EXPECT_EQ(VorbisBitRateValue(bitrate499), 499000);
  EXPECT_EQ(VorbisBitRateValue(static_cast<TVorbisBitRate>(0x80 | 1)), 24000);  // low 7 bits
  EXPECT_EQ(VorbisBitRateValue(static_cast<TVorbisBitRate>(40)), -1);
  EXPECT_EQ(VorbisBitRateAt(10), bitrate128);
  EXPECT_EQ(VorbisBitRateAt(99), brAutoSelect);
}

}  // namespace
}  // namespace trackmill
