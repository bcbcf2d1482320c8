#pragma once
#include <QSocketNotifier>
#include <functional>
#include <memory>

// Ctrl+C and termination requests of a headless command, delivered on the main thread's event
// loop (through a pipe the signal handler writes), so a command stops its work like a Stop
// button does. While one exists, SIGINT and SIGTERM no longer end the process; its destructor
// restores that. One at a time; main thread only.
namespace trackmill::cli {

class TStopSignal {
 public:
  explicit TStopSignal(std::function<void()> onStop);
  ~TStopSignal();
  TStopSignal(const TStopSignal&) = delete;
  TStopSignal& operator=(const TStopSignal&) = delete;

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace trackmill::cli
