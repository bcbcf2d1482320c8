#include "audio/core/AuThread.h"

#include <chrono>
#include <exception>

#include "audio/core/AuOutput.h"
#include "audio/core/EventHandler.h"

namespace trackmill {

TAuThread::TAuThread(TAuOutput* owner) : owner_(owner) {}

TAuThread::~TAuThread() { Terminate(); }

void TAuThread::Start() { thread_ = std::thread([this] { Main(); }); }

void TAuThread::Terminate() {
  {
    std::lock_guard lock(stateLock_);
    terminated_ = true;
    resumeRequested_ = true;
  }
  stateChanged_.notify_all();
  if (thread_.joinable()) thread_.join();
  ended_ = true;
}

bool TAuThread::IsParked() {
  std::lock_guard lock(stateLock_);
  return waiting_ && !runRequested_;
}

bool TAuThread::IsPaused() {
  std::lock_guard lock(stateLock_);
  return paused_;
}

void TAuThread::WaitUntilParkedOrDoneSent() {
  std::unique_lock lock(stateLock_);
  stateChanged_.wait(lock, [this] { return (waiting_ && !runRequested_) || doneSent_; });
}

void TAuThread::NoteDoneSent() {
  {
    std::lock_guard lock(stateLock_);
    doneSent_ = true;
  }
  stateChanged_.notify_all();
}

void TAuThread::RequestRun() {
  {
    std::lock_guard lock(stateLock_);
    runRequested_ = true;
  }
  stateChanged_.notify_all();
}

void TAuThread::ResumeRun() {
  {
    std::lock_guard lock(stateLock_);
    if (!paused_) return;
    resumeRequested_ = true;
  }
  stateChanged_.notify_all();
}

void TAuThread::Park() {
  std::unique_lock lock(stateLock_);
  waiting_ = true;
  stateChanged_.notify_all();
  stateChanged_.wait(lock, [this] { return runRequested_ || terminated_; });
  runRequested_ = false;
  waiting_ = false;
}

void TAuThread::PauseHere() {
  std::unique_lock lock(stateLock_);
  paused_ = true;
  resumeRequested_ = false;
  // The input hears of the pause on the main thread, unless the pause has ended by then.
  TAuOutput* owner = owner_;
  TEventHandler::Event event;
  event.kind = TEventHandler::Kind::Progress;
  event.sender = owner;
  event.callback = [owner, this] {
    if (IsPaused() && owner->input_) owner->input_->PauseInput();
  };
  TEventHandler::Instance()->Post(std::move(event));
  stateChanged_.wait(lock, [this] { return resumeRequested_ || stopRequested_; });
  paused_ = false;
}

void TAuThread::Main() {
  Park();
  while (!terminated_) {
    RunOnce();
    TEventHandler::Event done;
    done.kind = TEventHandler::Kind::Done;
    done.sender = owner_;
    done.worker = this;
    TAuOutput* owner = owner_;
    done.callback = [owner] {
      if (const TAuOutput::EventHandler handler = owner->OnDone()) handler(owner);
    };
    TEventHandler::Instance()->Post(std::move(done));
    NoteDoneSent();
    if (terminated_) break;
    Park();
  }
}

void TAuThread::RunOnce() {
  TAuOutput* owner = owner_;
  bool failed = false;
  try {
    owner->PrepareOutput();
    owner->canOutput_ = true;
    bool more = true;
    do {
      const int delayMs = delayMs_;
      if (delayMs > 5) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      const int progress = owner->Progress();
      if (progress != owner->lastProgress_) {
        owner->lastProgress_ = progress;
        if (const TAuOutput::EventHandler handler = owner->OnProgress()) {
          TEventHandler::Event event;
          event.kind = TEventHandler::Kind::Progress;
          event.sender = owner;
          event.callback = [handler, owner] { handler(owner); };
          TEventHandler::Instance()->Post(std::move(event));
        }
      }
      if (pauseRequested_.exchange(false) && !stopRequested_) PauseHere();
      more = owner->OutputBlock(stopRequested_);
    } while (more && !stopRequested_);
  } catch (const std::exception& e) {
    owner->ReportThreadException(QString::fromUtf8(e.what()));
    stopRequested_ = true;
    failed = true;
  } catch (...) {
    owner->ReportThreadException(QStringLiteral("Unknown error"));
    stopRequested_ = true;
    failed = true;
  }
  stopRequested_ = false;
  if (owner->busy_) {
    // Finishing (header, padding, flush, close) is part of the run: its failure is the run's,
    // unless the run had already failed for a reason of its own.
    try {
      owner->canOutput_ = false;
      owner->FinishOutput();
      owner->stopped_ = false;
    } catch (const std::exception& e) {
      if (!failed) owner->ReportThreadException(QString::fromUtf8(e.what()));
    } catch (...) {
      if (!failed) owner->ReportThreadException(QStringLiteral("Unknown error"));
    }
  }
  owner->canOutput_ = false;
}

}  // namespace trackmill
