// The WMA encoder program the job runner starts. It prints a percentage line now and then,
// "100%" once the file is complete, and a line with "ERROR" (exit code 1) on any failure; the
// job runner reads exactly these patterns.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/wmaencode/WmaArguments.h"
#include "tools/wmaencode/WmaEncoder.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto parsed = trackmill::wma::ParseArguments(args, error);
  if (!parsed) {
    std::printf("ERROR: %s\n", error.c_str());
    return 1;
  }
  int lastShown = -1;
  const auto progress = [&lastShown](int percent) {
    if (percent == lastShown) return;
    lastShown = percent;
    std::printf("Encoding: %d%%\n", percent);
    std::fflush(stdout);
  };
  if (!trackmill::wma::EncodeToWma(*parsed, progress, error)) {
    std::printf("ERROR: %s\n", error.c_str());
    return 1;
  }
  std::printf("Encoding: 100%%\n");
  return 0;
}
