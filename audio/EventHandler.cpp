#include "audio/EventHandler.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>

#include <exception>
#include <mutex>

#include "audio/AuOutput.h"
#include "audio/AuThread.h"

namespace trackmill {
namespace {

std::mutex instanceLock;
TEventHandler* instance = nullptr;  // guarded by instanceLock
int references = 0;                 // guarded by instanceLock

// The output whose handler the current thread is running (main thread only).
thread_local TAuOutput* runningHandlerOf = nullptr;

}  // namespace

TEventHandler::TEventHandler() { setObjectName(QStringLiteral("mainevent")); }

TEventHandler* TEventHandler::Acquire() {
  std::lock_guard lock(instanceLock);
  if (references++ == 0 && instance == nullptr) {
    instance = new TEventHandler();
    instance->start();
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
  ending->terminated_ = true;
  ending->wake_.Set();
  ending->wait();
  delete ending;
}

TEventHandler* TEventHandler::Instance() {
  std::lock_guard lock(instanceLock);
  return instance;
}

void TEventHandler::Post(Event event) {
  {
    QMutexLocker lock(&queueLock_);
    if (event.sender != nullptr && event.sender == blockedSender_) return;
    queue_.push_back(std::move(event));
  }
  wake_.Set();
}

void TEventHandler::BlockSender(TAuOutput* sender) {
  QMutexLocker lock(&queueLock_);
  blockedSender_ = sender;
  std::erase_if(queue_, [sender](const Event& e) { return e.sender == sender; });
}

void TEventHandler::UnblockSender() {
  QMutexLocker lock(&queueLock_);
  blockedSender_ = nullptr;
}

void TEventHandler::RemoveEvents(TAuOutput* sender) {
  QMutexLocker lock(&queueLock_);
  std::erase_if(queue_, [sender](const Event& e) { return e.sender == sender; });
}

bool TEventHandler::IsDelivering(TAuOutput* sender) {
  if (runningHandlerOf == sender) return false;
  QMutexLocker lock(&queueLock_);
  return currentSender_ == sender;
}

void TEventHandler::run() {
  while (!terminated_) {
    Event event;
    bool have = false;
    {
      QMutexLocker lock(&queueLock_);
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
    QMutexLocker lock(&queueLock_);
    currentSender_ = nullptr;
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
      while (!worker->IsParked() && !worker->terminated_) msleep(10);
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
  auto guarded = [sender, &callback] {
    TAuOutput* outer = runningHandlerOf;
    runningHandlerOf = sender;
    try {
      callback();
    } catch (...) {
      // A handler's failure must not cross into the pipeline's threads.
    }
    runningHandlerOf = outer;
  };
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    guarded();
    return;
  }
  QMetaObject::invokeMethod(app, guarded, Qt::BlockingQueuedConnection);
}

}  // namespace trackmill
