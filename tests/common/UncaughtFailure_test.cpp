#include "common/UncaughtFailure.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace trackmill {
namespace {

TEST(UncaughtFailure, AnyExceptionBecomesOneMessageAndExitCodeOne) {
  const struct {
    std::function<int()> run;
    int exitCode;
    const char* message;
  } cases[] = {
      {[] { return 7; }, 7, ""},
      {[]() -> int { throw std::bad_alloc(); }, 1, "trackmill: out of memory\n"},
      {[]() -> int { throw std::runtime_error("disk on fire"); }, 1, "trackmill: internal error: disk on fire\n"},
      {[]() -> int { throw 42; }, 1, "trackmill: internal error: an unknown exception\n"},
  };
  for (const auto& c : cases) {
    std::FILE* messages = std::tmpfile();
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(RunCatchingFailures(c.run, messages), c.exitCode);
    std::rewind(messages);
    char text[256] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, messages);
    std::fclose(messages);
    EXPECT_EQ(std::string(text, length), c.message);
  }
}

}  // namespace
}  // namespace trackmill
