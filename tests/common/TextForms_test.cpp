#include "common/TextForms.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

TEST(TextForms, TwoDigitPadsOnlySingleDigits) {
  EXPECT_EQ(TwoDigit(0), "00");
  EXPECT_EQ(TwoDigit(7), "07");
  EXPECT_EQ(TwoDigit(12), "12");
  EXPECT_EQ(TwoDigit(100), "100");
  EXPECT_EQ(DurationText(0), "00:00");
  EXPECT_EQ(DurationText(245), "04:05");
  EXPECT_EQ(DurationText(6000), "100:00");
}

TEST(TextForms, CleanFileNameDropsForbiddenCharactersOnly) {
  EXPECT_EQ(CleanFileName("a*b/c:d<e>f?g\\h|i"), "abcdefghi");
  EXPECT_EQ(CleanFileName("Café \"Live\" - $x; `y`"), "Café \"Live\" - $x; `y`");
}

}  // namespace
}  // namespace trackmill
