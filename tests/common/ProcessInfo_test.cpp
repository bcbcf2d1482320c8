#include "common/ProcessInfo.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include "common/JobEvents.h"

namespace trackmill {
namespace {

TEST(ProcessInfo, PercentIsIntegerDivisionAndZeroHasNoTimes) {
  ProgressClock clock;
  auto zero = clock.Make(0, 1000);
  EXPECT_EQ(zero->Percent, 0);
  EXPECT_TRUE(zero->TimeElapsed.isEmpty());
  EXPECT_TRUE(zero->TimeEstimated.isEmpty());
  auto some = clock.Make(999, 1000);
  EXPECT_EQ(some->Percent, 99);
  EXPECT_EQ(some->TimeElapsed, "00:00");
  EXPECT_EQ(clock.Make(5, 0)->Percent, 0);
}

TEST(ProcessInfo, StatusValues) {
  for (int v : {999, 1000, 2000, 3000, 4000, 5000, 6000}) EXPECT_TRUE(status::IsStatusValue(v)) << v;
  for (int v : {0, 50, 100, 101, 998, 1001}) EXPECT_FALSE(status::IsStatusValue(v)) << v;
}

class Recorder : public QObject {
 public:
  std::vector<std::pair<int, qint32>> seen;  // (event type, percent or reason)
  bool event(QEvent* e) override {
    if (e->type() == JobProgressEvent::EventType()) {
      auto info = static_cast<JobProgressEvent*>(e)->TakeInfo();
      seen.emplace_back(WM_JOB_PROGRESS, info->Percent);
      return true;
    }
    if (e->type() == RipFailedEvent::EventType()) {
      seen.emplace_back(WM_RIP_FAILED, static_cast<RipFailedEvent*>(e)->Reason());
      return true;
    }
    return QObject::event(e);
  }
};

TEST(JobEvents, PostedFromAWorkerArriveInOrderOnTheReceiverThread) {
  Recorder receiver;
  QThread* worker = QThread::create([&receiver] {
    for (int p = 0; p <= 100; p += 50) PostJobProgress(&receiver, MakeStatus(p, 0));
    PostRipFailed(&receiver, kRipFailedReadToc);
    SendJobProgress(&receiver, MakeStatus(status::kWmaEnded, 2));  // waits for the handler
  });
  worker->start();
  while (!worker->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker->wait();
  delete worker;
  QCoreApplication::processEvents();
  const std::vector<std::pair<int, qint32>> expected = {
      {WM_JOB_PROGRESS, 0}, {WM_JOB_PROGRESS, 50}, {WM_JOB_PROGRESS, 100},
      {WM_RIP_FAILED, 2}, {WM_JOB_PROGRESS, 5000}};
  EXPECT_EQ(receiver.seen, expected);
}

}  // namespace
}  // namespace trackmill
