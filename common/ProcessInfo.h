#pragma once
#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "common/JobCodes.h"

// The progress record that every job worker sends to its job window.
// Percent 0..100 is progress; the status values (common/JobCodes.h) mark the end of a step,
// with the step's result in ErrorCode. A record belongs to whoever receives it.
namespace trackmill {

struct TProcessInfo {
  qint32 Percent = 0;
  QString TimeElapsed;
  QString TimeEstimated;
  qint32 ErrorCode = 0;
};


// Builds progress records for one step: Percent = done*100 div total, elapsed seconds
// rounded from the wall clock since construction (or Restart), estimate = elapsed*100/Percent
// rounded; both time texts empty when Percent is 0. Not thread-safe; one per worker.
class ProgressClock {
 public:
  ProgressClock();
  void Restart();
  std::unique_ptr<TProcessInfo> Make(qint64 done, qint64 total) const;
  // The same rule for a percentage the caller already knows (encoder output).
  std::unique_ptr<TProcessInfo> MakeForPercent(qint32 percent) const;
  qint64 ElapsedMs() const { return timer_.elapsed(); }

 private:
  QElapsedTimer timer_;
};

// Record {Percent, ErrorCode} with empty time texts, as the step-end reports are.
std::unique_ptr<TProcessInfo> MakeStatus(qint32 percent, qint32 errorCode);

}  // namespace trackmill
