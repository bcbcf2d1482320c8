#pragma once
#include <condition_variable>
#include <mutex>

// An auto-reset event: Set() lets exactly one Wait() through (or the next one, when nobody is
// waiting); Wait() consumes the signal. Thread-safe.
namespace trackmill {

class TAuEvent {
 public:
  void Set();
  void Reset();
  // Waits until signalled; timeoutMs < 0 waits without limit. Returns false on timeout.
  bool Wait(int timeoutMs = -1);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;  // guarded by mutex_
};

}  // namespace trackmill
