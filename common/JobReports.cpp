#include "common/JobReports.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <cmath>

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
  auto* event = new JobReportEvent(std::move(report));
  auto deliver = [receiver, event] {
    QCoreApplication::sendEvent(receiver, event);
    delete event;
  };
  if (receiver->thread() == QThread::currentThread()) {
    deliver();
  } else {
    HandOver(event);
    QMetaObject::invokeMethod(receiver, deliver, Qt::BlockingQueuedConnection);
  }
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
