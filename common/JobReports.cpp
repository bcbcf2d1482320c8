#include "common/JobReports.h"

#include <QCoreApplication>
#include <cmath>
#include <memory>

#include "common/TextForms.h"
#include "common/ThreadHandOver.h"

namespace trackmill {

JobReportEvent::JobReportEvent(JobReport report) : QEvent(EventType()), report_(std::move(report)) {}

QEvent::Type JobReportEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PostJobReport(QObject* receiver, JobReport report) {
  if (receiver) PostAcrossThreads(receiver, new JobReportEvent(std::move(report)));
}

void SendJobReport(QObject* receiver, JobReport report) {
  if (!receiver) return;
  // The call owns the event, so a call Qt drops unrun (receiver deleted first) frees it too.
  auto deliver = [receiver, event = std::make_unique<JobReportEvent>(std::move(report))] {
    QCoreApplication::sendEvent(receiver, event.get());
  };
  CallAndWait(receiver, std::move(deliver));
}

ProgressClock::ProgressClock() { timer_.start(); }

void ProgressClock::Restart() { timer_.restart(); }

StepProgress ProgressClock::Make(JobStep step, qint64 done, qint64 total) const {
  return MakeForPercent(step, total > 0 ? static_cast<int>(done * 100 / total) : 0);
}

StepProgress ProgressClock::MakeForPercent(JobStep step, int percent) const {
  StepProgress progress{step, percent, {}, {}};
  if (percent != 0) {
    const qint64 elapsed = std::llround(timer_.elapsed() / 1000.0);
    progress.elapsed = DurationText(elapsed);
    progress.estimated = DurationText(std::llround(elapsed * 100.0 / percent));
  }
  return progress;
}

}  // namespace trackmill
