#include "common/JobEvents.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "common/ThreadHandOver.h"

namespace trackmill {

JobProgressEvent::JobProgressEvent(std::unique_ptr<TProcessInfo> info)
    : QEvent(EventType()), info_(std::move(info)) {}

RipFailedEvent::RipFailedEvent(int reason) : QEvent(EventType()), reason_(reason) {}

void PostJobProgress(QObject* receiver, std::unique_ptr<TProcessInfo> info) {
  if (!receiver) return;
  PostAcrossThreads(receiver, new JobProgressEvent(std::move(info)));
}

void SendJobProgress(QObject* receiver, std::unique_ptr<TProcessInfo> info) {
  if (!receiver) return;
  auto* event = new JobProgressEvent(std::move(info));
  auto deliver = [receiver, event] {
    QCoreApplication::sendEvent(receiver, event);
    delete event;
  };
  if (receiver->thread() == QThread::currentThread())
    deliver();
  else {
    HandOver(event);
    QMetaObject::invokeMethod(receiver, deliver, Qt::BlockingQueuedConnection);
  }
}

void PostRipFailed(QObject* receiver, int reason) {
  if (!receiver) return;
  PostAcrossThreads(receiver, new RipFailedEvent(reason));
}

}  // namespace trackmill
