#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <stdexcept>
#include <memory>
#include <vector>

#include "CoreTestSupport.h"
#include "audio/core/AuException.h"
#include "audio/core/AuOutput.h"
#include "audio/dsp/StereoBalance.h"

namespace trackmill {
namespace {

using test::TMemoryIn;

// Collects what its input delivers. While the gate is closed each step waits, so a test can
// act on a run that is certainly in progress.
class TCollectingOut : public TAuOutput {
 public:
  ~TCollectingOut() override { ShutDown(); }
  std::atomic<bool> gateOpen{true};
  std::atomic<int> steps{0};
  std::atomic<int> finishSleepMs{0};
  std::atomic<bool> inStep{false};  // a step has begun
  QByteArray collected;  // worker thread during a run; read by the test after OnDone

 protected:
  void PrepareOutput() override {
    collected.clear();
    input_->Init();
  }
  bool OutputBlock(bool abort) override {
    inStep = true;
    while (!gateOpen && !Stopped()) QThread::usleep(200);
    if (abort) return false;
    ++steps;
    const char* data = nullptr;
    int count = 1000;
    input_->GetData(data, count);
    if (count <= 0) return false;
    collected.append(data, count);
    return true;
  }
  void FinishOutput() override {
    QThread::msleep(finishSleepMs);
    input_->Flush();
  }
};

struct Pipeline {
  QByteArray pcm = test::Tones16(20000, 2);
  std::unique_ptr<TMemoryIn> in = std::make_unique<TMemoryIn>(pcm, 16, 2, 44100);
  std::unique_ptr<TCollectingOut> out = std::make_unique<TCollectingOut>();
  std::vector<QString> events;  // main thread only
  bool handlersOnMainThread = true;

  Pipeline() {
    out->SetInput(in.get());
    auto record = [this](const QString& what) {
      return [this, what](TAuOutput*) {
        handlersOnMainThread = handlersOnMainThread && QThread::currentThread() == qApp->thread();
        events.push_back(what);
      };
    };
    out->SetOnDone(record("done"));
    out->SetOnThreadException(record("exception"));
  }
  int Count(const QString& what) const { return int(std::count(events.begin(), events.end(), what)); }
};

TEST(AuOutputRun, DeliversTheWholeInputThenDoneOnTheMainThread) {
  Pipeline p;
  std::vector<int> progress;
  p.out->SetOnProgress([&progress](TAuOutput* sender) { progress.push_back(sender->Progress()); });
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  EXPECT_EQ(p.out->collected, p.pcm);
  EXPECT_TRUE(p.handlersOnMainThread);
  EXPECT_EQ(p.out->Status(), 2);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), 100);
}

TEST(AuOutputRun, RunWhileBusyFailsAndLeavesTheRunningJobAlone) {
  Pipeline p;
  p.out->gateOpen = false;
  p.out->Run();
  try {
    p.out->Run();
    FAIL() << "second Run was accepted";
  } catch (const EAuException& e) {
    EXPECT_EQ(e.Message(), "Component is Busy");
  }
  p.out->gateOpen = true;
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  EXPECT_EQ(p.out->collected, p.pcm);
  EXPECT_EQ(p.in->opened.load(), 1);
}

TEST(AuOutputRun, RunWithoutInputFailsAndALaterRunWorks) {
  TCollectingOut out;
  try {
    out.Run();
    FAIL() << "Run without input was accepted";
  } catch (const EAuException& e) {
    EXPECT_EQ(e.Message(), "Input is not assigned");
  }
  EXPECT_EQ(out.Status(), 2);
  TMemoryIn in(test::Tones16(100, 1), 16, 1, 8000);
  out.SetInput(&in);
  ASSERT_TRUE(test::RunUntilDone(out));
  EXPECT_EQ(out.collected.size(), 200);
}

TEST(AuOutputRun, DoneHandlerMayStartTheNextRun) {
  Pipeline p;
  int runs = 0;
  p.out->SetOnDone([&](TAuOutput* sender) {
    if (++runs < 3) sender->Run();
  });
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return runs == 3; }));
  EXPECT_EQ(p.in->opened.load(), 3);
  EXPECT_EQ(p.out->collected, p.pcm);
}

QStringList warnings;  // main thread: the handlers below run there

TEST(AuOutputRun, AFailingHandlerIsReportedAndTheRunGoesOn) {
  Pipeline p;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) warnings << text;
      });
  int calls = 0;
  p.out->SetOnProgress([&calls](TAuOutput*) {
    if (++calls == 1) throw std::runtime_error("progress view is gone");
    if (calls == 2) throw 42;
  });
  p.out->Run();
  const bool done = test::WaitFor([&] { return p.Count("done") == 1; });
  qInstallMessageHandler(previous);
  ASSERT_TRUE(done);
  EXPECT_EQ(p.out->collected, p.pcm);
  ASSERT_GE(warnings.size(), 2);
  EXPECT_TRUE(warnings[0].contains("progress view is gone")) << warnings[0].toStdString();
  EXPECT_TRUE(warnings[1].contains("unknown exception")) << warnings[1].toStdString();
}

TEST(AuOutputStop, SynchronousStopReturnsIdleAndDeliversNoDone) {
  Pipeline p;
  p.out->gateOpen = false;
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.out->Busy(); }));
  // Waiting for the worker to park does not run the caller's event loop.
  p.out->finishSleepMs = 30;
  bool otherEventRan = false;
  QTimer::singleShot(0, [&] { otherEventRan = true; });
  p.out->Stop(false);
  EXPECT_FALSE(otherEventRan);
  EXPECT_FALSE(p.out->Busy());
  EXPECT_EQ(p.out->Status(), 2);
  // Anything still on its way would arrive while events are processed.
  for (int i = 0; i < 50; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  EXPECT_EQ(p.Count("done"), 0);
  // The output is usable again.
  p.out->gateOpen = true;
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  EXPECT_EQ(p.out->collected, p.pcm);
}

TEST(AuOutputStop, AsynchronousStopStillDeliversDone) {
  Pipeline p;
  p.out->gateOpen = false;
  p.out->Run();
  p.out->Stop(true);
  p.out->gateOpen = true;
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  EXPECT_LT(p.out->collected.size(), p.pcm.size());
  EXPECT_FALSE(p.out->Busy());
}

TEST(AuOutputStop, StopFromAProgressHandlerDoesNotDeadlock) {
  Pipeline p;
  p.out->SetOnProgress([](TAuOutput* sender) { sender->Stop(false); });
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return !p.out->Busy(); }));
  EXPECT_EQ(p.Count("done"), 0);
}

TEST(AuOutputFailure, FailureInAStepGivesExceptionThenDoneAndIdle) {
  Pipeline p;
  p.in->failAfterBytes = 5000;
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  ASSERT_EQ(p.events.size(), 2u);
  EXPECT_EQ(p.events[0], "exception");
  EXPECT_EQ(p.events[1], "done");
  EXPECT_EQ(p.out->ExceptionMessage(), "Input failed on purpose");
  EXPECT_EQ(p.out->Status(), 2);
  // A new run clears the message.
  p.in->failAfterBytes = -1;
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 2; }));
  EXPECT_TRUE(p.out->ExceptionMessage().isEmpty());
}

TEST(AuOutputPause, PauseHoldsTheRunAndResumeFinishesIt) {
  Pipeline p;
  p.out->gateOpen = false;
  p.out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return p.out->inStep.load(); }));
  // A worker busy in its step does not hold up Pause(); it holds before the next step.
  QElapsedTimer waited;
  waited.start();
  p.out->Pause();
  EXPECT_LT(waited.elapsed(), 2000);
  EXPECT_EQ(p.out->Status(), 1);
  p.out->gateOpen = true;
  auto settle = [] {
    for (int i = 0; i < 20; ++i) {
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
  };
  settle();
  EXPECT_EQ(p.out->steps.load(), 1);
  settle();
  EXPECT_EQ(p.out->steps.load(), 1);
  EXPECT_EQ(p.out->Status(), 1);
  p.out->Resume();
  ASSERT_TRUE(test::WaitFor([&] { return p.Count("done") == 1; }));
  EXPECT_EQ(p.out->collected, p.pcm);
}

TEST(AuOutputPause, PauseWithoutInputFails) {
  TCollectingOut out;
  EXPECT_THROW(out.Pause(), EAuException);
}

TEST(AuOutputProgress, UnknownSizeReportsMinusOneAndNoInputZero) {
  TCollectingOut out;
  EXPECT_EQ(out.Progress(), 0);
  TMemoryIn in(test::Tones16(100, 1), 16, 1, 8000);
  in.announceSize = false;
  out.SetInput(&in);
  int lastProgress = 0;
  out.SetOnProgress([&](TAuOutput* sender) { lastProgress = sender->Progress(); });
  ASSERT_TRUE(test::RunUntilDone(out));
  EXPECT_EQ(lastProgress, -1);
}

TEST(AuInputPrebuffer, ReadAheadCountsOnlyWhenServedAndNeverPassesTheSize) {
  // The memory input counts its position inside ReadBlock(), a converter around it.
  TMemoryIn direct(test::Tones16(4000, 2), 16, 2, 44100);
  TMemoryIn behind(test::Tones16(4000, 2), 16, 2, 44100);
  behind.announcedBytes = 12000;  // bytes beyond the size (a trailing chunk) are not sound
  TStereoBalance converter;
  converter.SetInput(&behind);
  for (auto [input, size] : {std::pair<TAuInput*, qint64>{&direct, 16000}, {&converter, 12000}}) {
    input->Init();
    input->FillPrebuffer(6000);
    EXPECT_EQ(input->Position(), 0);
    const char* data = nullptr;
    int count = 1000;
    input->GetData(data, count);
    EXPECT_EQ(input->Position(), 1000);
    input->FillPrebuffer(20000);
    qint64 total = count;
    for (count = 4096; input->GetData(data, count), count > 0; count = 4096) total += count;
    EXPECT_EQ(total, size);
    EXPECT_EQ(input->Position(), size);
    input->Flush();
  }
}

TEST(AuOutputLifetime, DestroyingARunningOutputStopsIt) {
  auto in = std::make_unique<TMemoryIn>(test::Tones16(20000, 2), 16, 2, 44100);
  auto out = std::make_unique<TCollectingOut>();
  bool done = false;
  out->SetOnDone([&](TAuOutput*) { done = true; });
  out->SetInput(in.get());
  out->gateOpen = false;
  out->Run();
  out.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(done);
  EXPECT_FALSE(in->Busy());
}

TEST(AuOutputLifetime, TheLastOutputMayBeFreedByItsOwnDoneHandler) {
  TMemoryIn in(test::Tones16(100, 1), 16, 1, 8000);
  auto* out = new TCollectingOut;
  out->SetInput(&in);
  bool freed = false;
  out->SetOnDone([&freed](TAuOutput* sender) {
    delete sender;
    freed = true;
  });
  out->Run();
  ASSERT_TRUE(test::WaitFor([&] { return freed; }));
  // The pipeline still works afterwards.
  TCollectingOut next;
  next.SetInput(&in);
  ASSERT_TRUE(test::RunUntilDone(next));
  EXPECT_EQ(next.collected.size(), 200);
}

TEST(AuOutputLifetime, DestroyedInputIsForgotten) {
  TCollectingOut out;
  auto in = std::make_unique<TMemoryIn>(test::Tones16(10, 1), 16, 1, 8000);
  out.SetInput(in.get());
  in.reset();
  EXPECT_EQ(out.Input(), nullptr);
  EXPECT_THROW(out.Run(), EAuException);
}

}  // namespace
}  // namespace trackmill
