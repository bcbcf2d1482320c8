#include "audio/core/EventHandler.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "audio/core/AuOutput.h"
#include "audio/core/AuThread.h"
#include "common/ThreadHandOver.h"

namespace trackmill {
namespace {

std::mutex instanceLock;
TEventHandler* instance = nullptr;  // guarded by instanceLock
int references = 0;                 // guarded by instanceLock

// The output whose handler the current thread is running (main thread only).
thread_local TAuOutput* runningHandlerOf = nullptr;

}  // namespace

TEventHandler::TEventHandler() : mainThreadCalls_(std::make_unique<TMainThreadCalls>()) {
  if (QCoreApplication* app = QCoreApplication::instance()) mainThreadCalls_->moveToThread(app->thread());
  thread_ = std::thread([this] { Main(); });
}

TEventHandler::~TEventHandler() {
  terminated_ = true;
  wake_.Set();
  if (thread_.joinable()) thread_.join();
}

TEventHandler* TEventHandler::Acquire() {
  std::lock_guard lock(instanceLock);
  if (references++ == 0 && instance == nullptr) {
    instance = new TEventHandler();
  }
  return instance;
}

void TEventHandler::Release() {
  TEventHandler* ending = nullptr;
  {
    std::lock_guard lock(instanceLock);
    if (references <= 0 || --references > 0) return;
    // The last output freed from inside one of its own handlers: the event thread is waiting
    // for that handler to return, so it cannot be joined here. It stays, idle, for the next
    // output.
    if (runningHandlerOf != nullptr) return;
    ending = instance;
    instance = nullptr;
  }
  delete ending;
}

TEventHandler* TEventHandler::Instance() {
  std::lock_guard lock(instanceLock);
  return instance;
}

void TEventHandler::Post(Event event) {
  {
    std::lock_guard lock(queueLock_);
    if (event.sender != nullptr && event.sender == blockedSender_) return;
    queue_.push_back(std::move(event));
  }
  wake_.Set();
}

void TEventHandler::BlockSender(TAuOutput* sender) {
  {
    std::lock_guard lock(queueLock_);
    blockedSender_ = sender;
    std::erase_if(queue_, [sender](const Event& e) { return e.sender == sender; });
  }
  mainThreadCalls_->Block(sender);
}

void TEventHandler::UnblockSender() {
  mainThreadCalls_->Unblock();
  std::lock_guard lock(queueLock_);
  blockedSender_ = nullptr;
}

void TEventHandler::RemoveEvents(TAuOutput* sender) {
  std::lock_guard lock(queueLock_);
  std::erase_if(queue_, [sender](const Event& e) { return e.sender == sender; });
}

void TEventHandler::WaitWhileDelivering(TAuOutput* sender) {
  if (runningHandlerOf == sender) return;
  std::unique_lock lock(queueLock_);
  delivered_.wait(lock, [this, sender] { return currentSender_ != sender; });
}

void TEventHandler::Main() {
  while (!terminated_) {
    Event event;
    bool have = false;
    {
      std::lock_guard lock(queueLock_);
      if (!queue_.empty()) {
        event = std::move(queue_.front());
        queue_.pop_front();
        currentSender_ = event.sender;
        have = true;
      }
    }
    if (!have) {
      wake_.Wait(100);
      continue;
    }
    Deliver(event);
    {
      std::lock_guard lock(queueLock_);
      currentSender_ = nullptr;
    }
    delivered_.notify_all();
  }
}

void TEventHandler::Deliver(Event& event) {
  switch (event.kind) {
    case Kind::Progress:
    case Kind::ThreadException:
      RunOnMainThread(event.sender, event.callback);
      break;
    case Kind::Done: {
      TAuThread* worker = event.worker;
      while (!worker->IsParked() && !worker->terminated_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      event.sender->busy_ = false;
      RemoveEvents(event.sender);
      if (worker->notifyDone_) RunOnMainThread(event.sender, event.callback);
      break;
    }
    case Kind::DirectCall:
      if (event.callback) event.callback();
      break;
  }
}

void TEventHandler::RunOnMainThread(TAuOutput* sender, const std::function<void()>& callback) {
  if (!callback) return;
  TMainThreadCalls::Call call;
  call.sender = sender;
  call.run = [sender, callback] {
    TAuOutput* outer = runningHandlerOf;
    runningHandlerOf = sender;
    // A handler's failure must not cross into the pipeline's threads, but it is said.
    try {
      callback();
    } catch (const std::exception& error) {
      qWarning("trackmill: an audio event handler failed: %s", error.what());
    } catch (...) {
      qWarning("trackmill: an audio event handler failed with an unknown exception");
    }
    runningHandlerOf = outer;
  };
  if (!QCoreApplication::instance()) {
    call.run();
    return;
  }
  mainThreadCalls_->RunAndWait(call);
}

void TMainThreadCalls::RunAndWait(Call& call) {
  std::unique_lock lock(lock_);
  if (call.sender != nullptr && call.sender == blocked_) return;
  pending_.push_back(&call);
  // The event carries nothing; the call travels through pending_.
  QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  finished_.wait(lock, [&call] { return call.done; });
  TakeOver(&call);
}

void TMainThreadCalls::Block(TAuOutput* sender) {
  {
    std::lock_guard lock(lock_);
    blocked_ = sender;
    std::erase_if(pending_, [sender](Call* call) {
      if (call->sender != sender) return false;
      call->done = true;
      return true;
    });
  }
  finished_.notify_all();
}

void TMainThreadCalls::Unblock() {
  std::lock_guard lock(lock_);
  blocked_ = nullptr;
}

void TMainThreadCalls::customEvent(QEvent*) {
  for (;;) {
    Call* call = nullptr;
    {
      std::lock_guard lock(lock_);
      if (pending_.empty()) return;
      call = pending_.front();
      pending_.pop_front();
    }
    // The handler may start a process. Qt starts it sharing this thread's memory until it
    // runs the program, and the sanitizer then loses what this thread did before; so the call
    // is taken out of the caller's frame and handed back before the handler runs; after the
    // handler only done is touched, under the lock.
    std::function<void()> run = std::move(call->run);
    call->run = nullptr;
    HandOver(call);
    run();
    run = nullptr;
    {
      std::lock_guard lock(lock_);
      call->done = true;
    }
    finished_.notify_all();
  }
}

}  // namespace trackmill
