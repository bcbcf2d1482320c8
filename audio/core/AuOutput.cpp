#include "audio/core/AuOutput.h"

#include <QCoreApplication>
#include <QThread>

#include <cmath>

#include "audio/core/AuException.h"
#include "audio/core/AuThread.h"
#include "audio/core/EventHandler.h"

namespace trackmill {

TAuOutput::TAuOutput(QObject* parent) : QObject(parent), thread_(std::make_unique<TAuThread>(this)) {
  TEventHandler::Acquire();
  thread_->Start();
}

TAuOutput::~TAuOutput() {
  ShutDown();
  TEventHandler::Release();
}

void TAuOutput::ShutDown() {
  if (!thread_ || thread_->Ended()) return;
  Stop(false);
  thread_->Terminate();
}

void TAuOutput::SetInput(TAuInput* input) {
  if (busy_) {
    Stop(false);
    input_ = input;
    Run();
  } else {
    input_ = input;
  }
}

void TAuOutput::Run() {
  std::lock_guard lock(dataLock_);
  if (busy_) throw EAuException("Component is Busy");
  exceptionMessage_.clear();
  if (!input_) throw EAuException("Input is not assigned");
  busy_ = true;
  thread_->stopRequested_ = false;
  // Cleared here rather than on the worker, so a Pause() right after Run() is not lost.
  thread_->pauseRequested_ = false;
  thread_->RequestRun();
}

void TAuOutput::Stop(bool async) {
  stopped_ = true;
  TAuThread* thread = thread_.get();
  thread->notifyDone_ = async;
  thread->doneSent_ = false;
  thread->stopRequested_ = true;
  thread->pauseRequested_ = false;
  // A paused worker wakes for the stop; one about to pause sees the request and does not.
  thread->ResumeRun();
  if (async) return;

  TEventHandler* events = TEventHandler::Instance();
  // No handler of this output runs from here on: queued events are dropped, and a delivery
  // waiting for the main thread is called off, so nothing here waits on the event loop.
  events->BlockSender(this);
  thread->WaitUntilParkedOrDoneSent();
  events->WaitWhileDelivering(this);
  events->UnblockSender();
  thread->notifyDone_ = true;
  // Its done event was discarded, so nothing else will end the busy state.
  busy_ = false;
  thread->stopRequested_ = false;
}

void TAuOutput::Pause() {
  if (!input_) throw EAuException("Input is not assigned.");
  if (!busy_) return;
  thread_->pauseRequested_ = true;
}

void TAuOutput::Resume() {
  if (!busy_) return;
  // A pause not yet taken is simply withdrawn.
  thread_->pauseRequested_ = false;
  if (!thread_->IsPaused()) return;
  if (input_) input_->ResumeInput();
  thread_->ResumeRun();
}

int TAuOutput::Status() const {
  if (!busy_) return 2;
  return thread_->pauseRequested_ || thread_->IsPaused() ? 1 : 0;
}

int TAuOutput::Progress() const {
  TAuInput* input = input_.data();
  if (!input) return 0;
  const qint64 size = input->Size();
  if (static_cast<qint32>(size & 0xFFFFFFFF) == -1) return -1;
  if (size == 0) return 0;
  return static_cast<int>(std::lround(double(input->Position()) / double(size) * 100.0));
}

QString TAuOutput::ExceptionMessage() const {
  std::lock_guard lock(dataLock_);
  return exceptionMessage_;
}

void TAuOutput::SetDelay(int delayMs) { thread_->delayMs_ = delayMs; }

void TAuOutput::SetOnDone(EventHandler handler) {
  std::lock_guard lock(dataLock_);
  onDone_ = std::move(handler);
}

void TAuOutput::SetOnProgress(EventHandler handler) {
  std::lock_guard lock(dataLock_);
  onProgress_ = std::move(handler);
}

void TAuOutput::SetOnThreadException(EventHandler handler) {
  std::lock_guard lock(dataLock_);
  onThreadException_ = std::move(handler);
}

TAuOutput::EventHandler TAuOutput::OnDone() const {
  std::lock_guard lock(dataLock_);
  return onDone_;
}

TAuOutput::EventHandler TAuOutput::OnProgress() const {
  std::lock_guard lock(dataLock_);
  return onProgress_;
}

TAuOutput::EventHandler TAuOutput::OnThreadException() const {
  std::lock_guard lock(dataLock_);
  return onThreadException_;
}

void TAuOutput::ReportThreadException(const QString& message) {
  EventHandler handler;
  {
    std::lock_guard lock(dataLock_);
    exceptionMessage_ = message;
    handler = onThreadException_;
  }
  if (!handler) return;
  TEventHandler::Event event;
  event.kind = TEventHandler::Kind::ThreadException;
  event.sender = this;
  event.callback = [handler, this] { handler(this); };
  TEventHandler::Instance()->Post(std::move(event));
}

}  // namespace trackmill
