#include "cd/MediaWatcher.h"

#include <QtConcurrent/QtConcurrentRun>

#include "cd/CDDrive.h"

namespace trackmill {

TMediaWatcher::TMediaWatcher(QObject* parent) : QObject(parent) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &TMediaWatcher::Look);
  connect(&look_, &QFutureWatcher<bool>::finished, this, &TMediaWatcher::LookDone);
}

void TMediaWatcher::Watch(TCDHandle handle, bool present) {
  handle_ = handle;
  present_ = present;
  ++generation_;
  if (handle_ != 0 && !paused_)
    timer_.start();
  else
    timer_.stop();
}

void TMediaWatcher::SetPaused(bool paused) {
  paused_ = paused;
  Watch(handle_, present_);
}

void TMediaWatcher::Look() {
  if (look_.isRunning() || handle_ == 0) return;
  lookGeneration_ = generation_;
  look_.setFuture(QtConcurrent::run(MediaPresent, handle_));
}

void TMediaWatcher::LookDone() {
  if (lookGeneration_ != generation_ || paused_ || handle_ == 0) return;
  const bool present = look_.result();
  if (present == present_) return;
  present_ = present;
  if (present)
    emit MediaArrived();
  else
    emit MediaRemoved();
}

}  // namespace trackmill
