#pragma once
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <utility>

// Hand-overs between threads that go through Qt's own locks (the posted-event queue, the end of
// a QThread) are invisible to ThreadSanitizer, because the distribution's Qt is not built with
// it. These functions make them visible, so the sanitizer still checks every access around
// them instead of a suppression hiding them. Outside a ThreadSanitizer build they cost nothing
// beyond the Qt call they wrap. All are thread-safe.
namespace trackmill {

// The general pair: everything a thread did before HandOver(token) is seen by a thread after
// its TakeOver(token), once the two are ordered by some Qt hand-over (a blocking queued call,
// a wait). An event pointer as token is taken over when the event is delivered.
void HandOver(const void* token);
void TakeOver(const void* token);

// Posts event to receiver (it takes ownership) and marks everything the posting thread did
// before as seen by the receiver's thread once the event is delivered there.
void PostAcrossThreads(QObject* receiver, QEvent* event);

// Waits for thread to end and marks all it did, up to the end of its run(), as seen by the
// caller. Only valid for threads whose run() holds a ThreadEndMark (or that HandOver(&thread)
// as they finish).
void JoinThread(QThread& thread);

namespace detail {
// The end of a call another thread runs: the caller waits on it, the call ends it once (after
// running, or unrun when Qt drops it). A std::mutex, so the sanitizer sees the hand-back.
class CallEnd {
 public:
  void Signal();
  void Wait();

 private:
  std::mutex lock_;
  std::condition_variable ended_;
  bool signalled_ = false;
};

// The functor a CallAndWait posts. Qt moves it into the call object it posts, as the last thing
// it writes there, so the move hands over the call object and what the caller did before; the
// call takes it over before anything else. Only the instance that is not moved from ends the call.
template <typename Function>
class HandedOverCall {
 public:
  HandedOverCall(Function function, CallEnd* end) : function_(std::move(function)), end_(end) {}
  HandedOverCall(HandedOverCall&& other) : function_(std::move(other.function_)), end_(std::exchange(other.end_, nullptr)) {
    HandOver(this);
  }
  HandedOverCall(const HandedOverCall&) = delete;
  HandedOverCall& operator=(const HandedOverCall&) = delete;
  HandedOverCall& operator=(HandedOverCall&&) = delete;
  // Qt frees the call object on whichever thread lets go of it last, the caller's included.
  ~HandedOverCall() {
    TakeOver(this);
    if (end_) end_->Signal();
  }
  void operator()() {
    TakeOver(this);
    function_();
    CallEnd* end = std::exchange(end_, nullptr);
    HandOver(this);
    end->Signal();  // the caller's frame may be gone right after
  }

 private:
  Function function_;
  CallEnd* end_;
};
}  // namespace detail

// Runs function on receiver's thread and waits until it has run there, or until Qt dropped the
// call unrun (receiver deleted first): the same as a blocking queued call, except that the
// sanitizer sees both hand-overs, the caller's work to function and function's back to the caller.
// On receiver's own thread it runs function directly.
template <typename Function>
void CallAndWait(QObject* receiver, Function function) {
  if (receiver->thread() == QThread::currentThread()) {
    function();
    return;
  }
  detail::CallEnd end;
  QMetaObject::invokeMethod(receiver, detail::HandedOverCall<Function>(std::move(function), &end), Qt::QueuedConnection);
  end.Wait();
}

// Held for the whole of a QThread subclass's run(): it marks the thread's work as done for
// JoinThread on leaving run() and again once Qt has ended the thread (after finished() was
// emitted, whose queued connections still read the thread object).
class ThreadEndMark {
 public:
  explicit ThreadEndMark(const QThread* thread);
  ~ThreadEndMark();
  ThreadEndMark(const ThreadEndMark&) = delete;
  ThreadEndMark& operator=(const ThreadEndMark&) = delete;

 private:
  const QThread* thread_;
};

}  // namespace trackmill
