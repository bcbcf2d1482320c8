#include "common/ProcessInfo.h"

#include <cmath>

#include "common/TextForms.h"

namespace trackmill {

ProgressClock::ProgressClock() { timer_.start(); }

void ProgressClock::Restart() { timer_.restart(); }

std::unique_ptr<TProcessInfo> ProgressClock::Make(qint64 done, qint64 total) const {
  const qint32 percent = total > 0 ? static_cast<qint32>(done * 100 / total) : 0;
  return MakeForPercent(percent);
}

std::unique_ptr<TProcessInfo> ProgressClock::MakeForPercent(qint32 percent) const {
  auto info = std::make_unique<TProcessInfo>();
  info->Percent = percent;
  if (percent != 0) {
    const qint64 elapsed = std::llround(timer_.elapsed() / 1000.0);
    const qint64 estimate = std::llround(elapsed * 100.0 / percent);
    info->TimeElapsed = DurationText(elapsed);
    info->TimeEstimated = DurationText(estimate);
  }
  return info;
}

std::unique_ptr<TProcessInfo> MakeStatus(qint32 percent, qint32 errorCode) {
  auto info = std::make_unique<TProcessInfo>();
  info->Percent = percent;
  info->ErrorCode = errorCode;
  return info;
}

}  // namespace trackmill
