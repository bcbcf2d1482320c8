#include "tests/cd/RipEvents.h"

#include <QCoreApplication>

namespace trackmill::test {

void RipEvents::Deliver() { QCoreApplication::sendPostedEvents(this); }

bool RipEvents::event(QEvent* e) {
  if (e->type() != JobReportEvent::EventType()) return QObject::event(e);
  const JobReport& report = static_cast<JobReportEvent*>(e)->Report();
  if (const auto* p = std::get_if<StepProgress>(&report)) progress.push_back(*p);
  if (const auto* end = std::get_if<StepEnded>(&report)) ends.push_back(*end);
  if (std::holds_alternative<StepStarted>(report)) ++normalizeStarts;
  return true;
}

}  // namespace trackmill::test
