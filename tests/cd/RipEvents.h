#pragma once
#include <QEvent>
#include <QObject>
#include <vector>

#include "common/JobEvents.h"

// Receiver for the events a job worker posts: keeps every progress record and failure.
namespace trackmill::test {

class RipEvents : public QObject {
 public:
  std::vector<TProcessInfo> progress;  // every WM_JOB_PROGRESS record, in order
  std::vector<int> ripFailed;          // every WM_RIP_FAILED reason

  // Delivers what has been posted so far.
  void Deliver();
  int CountStatus(qint32 percent) const;
  // The records with Percent 0..100.
  std::vector<TProcessInfo> ProgressOnly() const;

 protected:
  bool event(QEvent* e) override;
};

}  // namespace trackmill::test
