#include "app/cli/StopSignal.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace trackmill::cli {
namespace {

int gStopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gStopPipe[1], &byte, 1);
}

}  // namespace

TStopSignal::TStopSignal(std::function<void()> onStop) {
  // Close-on-exec: the encoders a job starts must not hold the pipe.
  if (::pipe2(gStopPipe, O_CLOEXEC) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(gStopPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [onStop = std::move(onStop)] {
    char byte;
    [[maybe_unused]] const ssize_t got = ::read(gStopPipe[0], &byte, 1);
    onStop();
  });
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

TStopSignal::~TStopSignal() {
  if (!notifier_) return;
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  notifier_.reset();
  ::close(gStopPipe[0]);
  ::close(gStopPipe[1]);
}

}  // namespace trackmill::cli
