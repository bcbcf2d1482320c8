#include "audio/core/AuEvent.h"

#include <chrono>

namespace trackmill {

void TAuEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  changed_.notify_one();
}

void TAuEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool TAuEvent::Wait(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (timeoutMs < 0) {
    changed_.wait(lock, [this] { return signalled_; });
  } else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; })) {
    return false;
  }
  signalled_ = false;
  return true;
}

}  // namespace trackmill
