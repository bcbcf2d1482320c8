#pragma once
#include <cstdio>
#include <functional>

// The last line of defence of the program's entry point: no exception ends the process with
// the runtime's own abort and its text.
namespace trackmill {

// Runs run and returns its exit code. An exception that nothing below caught becomes one line
// on messages ("trackmill: out of memory" for std::bad_alloc, "trackmill: internal error: ..."
// with the exception's text otherwise) and exit code 1.
int RunCatchingFailures(const std::function<int()>& run, std::FILE* messages = stderr);

}  // namespace trackmill
