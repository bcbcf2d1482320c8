#include "common/JobReports.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

namespace trackmill {
namespace {

TEST(ProgressClock, PercentIsIntegerDivisionAndZeroHasNoTimes) {
  ProgressClock clock;
  const StepProgress zero = clock.Make(JobStep::Extract, 0, 1000);
  EXPECT_EQ(zero.percent, 0);
  EXPECT_TRUE(zero.elapsed.isEmpty());
  EXPECT_TRUE(zero.estimated.isEmpty());
  const StepProgress some = clock.Make(JobStep::Normalize, 999, 1000);
  EXPECT_EQ(some.percent, 99);
  EXPECT_EQ(some.step, JobStep::Normalize);
  EXPECT_EQ(some.elapsed, "00:00");
  EXPECT_EQ(clock.Make(JobStep::Extract, 5, 0).percent, 0);
}

class Recorder : public QObject {
 public:
  std::vector<JobReport> seen;
  bool event(QEvent* e) override {
    if (e->type() != JobReportEvent::EventType()) return QObject::event(e);
    seen.push_back(static_cast<JobReportEvent*>(e)->Report());
    return true;
  }
};

TEST(JobReports, PostedFromAWorkerArriveWholeAndInOrderOnTheReceiverThread) {
  Recorder receiver;
  QThread* worker = QThread::create([&receiver] {
    for (int p = 0; p <= 100; p += 50) PostJobReport(&receiver, StepProgress{JobStep::Extract, p, {}, {}});
    PostJobReport(&receiver, StepEnded{JobStep::Extract, StepOutcome::TocUnreadable, {}});
    SendJobReport(&receiver, StepEnded{JobStep::EncodeWma, StepOutcome::EncoderError, "ERROR: bad"});  // waits
  });
  worker->start();
  while (!worker->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker->wait();
  delete worker;
  QCoreApplication::processEvents();
  ASSERT_EQ(receiver.seen.size(), 5u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(std::get<StepProgress>(receiver.seen[size_t(i)]).percent, i * 50);
  EXPECT_EQ(std::get<StepEnded>(receiver.seen[3]).outcome, StepOutcome::TocUnreadable);
  const auto& last = std::get<StepEnded>(receiver.seen[4]);
  EXPECT_EQ(last.step, JobStep::EncodeWma);
  EXPECT_EQ(last.error, "ERROR: bad");
}

}  // namespace
}  // namespace trackmill
