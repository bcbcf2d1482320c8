#include "common/UncaughtFailure.h"

#include <exception>
#include <new>

namespace trackmill {

int RunCatchingFailures(const std::function<int()>& run, std::FILE* messages) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
    std::fputs("trackmill: out of memory\n", messages);
  } catch (const std::exception& failure) {
    std::fprintf(messages, "trackmill: internal error: %s\n", failure.what());
  } catch (...) {
    std::fputs("trackmill: internal error: an unknown exception\n", messages);
  }
  std::fflush(messages);
  return 1;
}

}  // namespace trackmill
