#include "common/ThreadHandOver.h"

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#define TRACKMILL_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#include <sanitizer/tsan_interface.h>
#define TRACKMILL_TSAN 1
#endif
#endif

namespace trackmill {
namespace {

#ifdef TRACKMILL_TSAN
void Release(const void* token) { __tsan_release(const_cast<void*>(token)); }
void Acquire(const void* token) { __tsan_acquire(const_cast<void*>(token)); }

// Every delivery of an event passes Qt's notify callback, on the receiver's thread and before
// any handler reads the event: the place to take over what its poster released.
bool TakeOverDeliveredEvent(void** data) {
  Acquire(data[1]);
  return false;  // deliver as usual
}

[[maybe_unused]] const bool kDeliveryHooked = QInternal::registerCallback(QInternal::EventNotifyCallback, TakeOverDeliveredEvent);
#else
void Release(const void*) {}
void Acquire(const void*) {}
#endif

}  // namespace

void HandOver(const void* token) { Release(token); }
void TakeOver(const void* token) { Acquire(token); }

void PostAcrossThreads(QObject* receiver, QEvent* event) {
  Release(event);
  QCoreApplication::postEvent(receiver, event);
}

void JoinThread(QThread& thread) {
  thread.wait();
  Acquire(&thread);
}

ThreadEndMark::~ThreadEndMark() { Release(thread_); }

}  // namespace trackmill
