#include "common/ThreadHandOver.h"

#include <QCoreApplication>
#include <QThreadStorage>

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

// Qt cleans up a thread's QThreadStorage only after it emitted finished(), the last thing the
// ending thread does with its QThread: a release from there covers all of it.
class LateEndMark {
 public:
  explicit LateEndMark(const QThread* thread) : thread_(thread) {}
  ~LateEndMark() { Release(thread_); }
  LateEndMark(const LateEndMark&) = delete;
  LateEndMark& operator=(const LateEndMark&) = delete;

 private:
  const QThread* thread_;
};

void MarkEndOnceQtEnded(const QThread* thread) {
  static QThreadStorage<LateEndMark*> marks;
  marks.setLocalData(new LateEndMark(thread));
}
#else
void Release(const void*) {}
void Acquire(const void*) {}
void MarkEndOnceQtEnded(const QThread*) {}
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

namespace detail {

void CallEnd::Signal() {
  std::lock_guard lock(lock_);
  signalled_ = true;
  ended_.notify_all();  // under the lock: the waiter may destroy this once it sees signalled_
}

void CallEnd::Wait() {
  std::unique_lock lock(lock_);
  ended_.wait(lock, [this] { return signalled_; });
}

}  // namespace detail

ThreadEndMark::ThreadEndMark(const QThread* thread) : thread_(thread) { MarkEndOnceQtEnded(thread); }

ThreadEndMark::~ThreadEndMark() { Release(thread_); }

}  // namespace trackmill
