#pragma once
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>
#include <memory>

#include "cd/Drive.h"

// Notices a disc arriving in or leaving the open drive by looking at it every couple of
// seconds. The look (MediaPresent) may block on a physical drive, so it runs on a pool
// thread; the result comes back through the event loop, and the signals are emitted on the
// thread that owns the watcher. At most one look runs at a time; a look that was started for
// an earlier drive is ignored. Owned by its window; it holds a share of the drive it watches
// (and the running look another).
namespace trackmill {

class TMediaWatcher : public QObject {
  Q_OBJECT
 public:
  static constexpr int kIntervalMs = 2000;

  explicit TMediaWatcher(QObject* parent = nullptr);

  // Watches the drive (none: nothing); present is what the caller knows now.
  void Watch(std::shared_ptr<CdDrive> drive, bool present);
  // Suspends or resumes the looks (while a job reads the drive, nothing changes under it).
  void SetPaused(bool paused);
  void SetIntervalMs(int ms) { timer_.setInterval(ms); }

 signals:
  void MediaArrived();
  void MediaRemoved();

 private:
  void Look();
  void LookDone();

  QTimer timer_;
  QFutureWatcher<bool> look_;
  std::shared_ptr<CdDrive> drive_;
  bool present_ = false;
  bool paused_ = false;
  quint64 generation_ = 0;      // counts Watch calls
  quint64 lookGeneration_ = 0;  // generation the running look was started for
};

}  // namespace trackmill
