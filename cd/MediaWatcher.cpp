#include "cd/MediaWatcher.h"

#include <QtConcurrent/QtConcurrentRun>

#include "common/ThreadHandOver.h"

namespace trackmill {

TMediaWatcher::TMediaWatcher(QObject* parent) : QObject(parent) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &TMediaWatcher::Look);
  connect(&look_, &QFutureWatcher<bool>::finished, this, &TMediaWatcher::LookDone);
}

void TMediaWatcher::Watch(std::shared_ptr<CdDrive> drive, bool present) {
  drive_ = std::move(drive);
  present_ = present;
  ++generation_;
  if (drive_ && !paused_)
    timer_.start();
  else
    timer_.stop();
}

void TMediaWatcher::SetPaused(bool paused) {
  paused_ = paused;
  Watch(drive_, present_);
}

void TMediaWatcher::Look() {
  if (look_.isRunning() || !drive_) return;
  lookGeneration_ = generation_;
  // The pool's queue orders the drive's opening before the look, under Qt's own lock.
  HandOver(drive_.get());
  look_.setFuture(QtConcurrent::run([drive = drive_] {
    TakeOver(drive.get());
    return drive->MediaPresent();
  }));
}

void TMediaWatcher::LookDone() {
  if (lookGeneration_ != generation_ || paused_ || !drive_) return;
  const bool present = look_.result();
  if (present == present_) return;
  present_ = present;
  if (present)
    emit MediaArrived();
  else
    emit MediaRemoved();
}

}  // namespace trackmill
