#include "tests/cd/RipEvents.h"

#include <QCoreApplication>

namespace trackmill::test {

void RipEvents::Deliver() { QCoreApplication::sendPostedEvents(this); }

int RipEvents::CountStatus(qint32 percent) const {
  int n = 0;
  for (const TProcessInfo& p : progress) n += p.Percent == percent;
  return n;
}

std::vector<TProcessInfo> RipEvents::ProgressOnly() const {
  std::vector<TProcessInfo> only;
  for (const TProcessInfo& p : progress)
    if (p.Percent >= 0 && p.Percent <= 100) only.push_back(p);
  return only;
}

bool RipEvents::event(QEvent* e) {
  if (e->type() == JobProgressEvent::EventType()) {
    progress.push_back(static_cast<JobProgressEvent*>(e)->Info());
    return true;
  }
  if (e->type() == RipFailedEvent::EventType()) {
    ripFailed.push_back(static_cast<RipFailedEvent*>(e)->Reason());
    return true;
  }
  return QObject::event(e);
}

}  // namespace trackmill::test
