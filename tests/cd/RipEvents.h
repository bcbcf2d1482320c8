#pragma once
#include <QEvent>
#include <QObject>
#include <vector>

#include "common/JobReports.h"

// Receiver for the reports a job worker posts: keeps every progress report and step end.
namespace trackmill::test {

class RipEvents : public QObject {
 public:
  std::vector<StepProgress> progress;  // in order
  std::vector<StepEnded> ends;
  int normalizeStarts = 0;

  // Delivers what has been posted so far.
  void Deliver();

 protected:
  bool event(QEvent* e) override;
};

}  // namespace trackmill::test
