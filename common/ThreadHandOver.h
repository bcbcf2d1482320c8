#pragma once
#include <QEvent>
#include <QObject>
#include <QThread>

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

// Held for the whole of a QThread subclass's run(): on leaving run() it marks the thread's work
// as done for JoinThread.
class ThreadEndMark {
 public:
  explicit ThreadEndMark(const QThread* thread) : thread_(thread) {}
  ~ThreadEndMark();
  ThreadEndMark(const ThreadEndMark&) = delete;
  ThreadEndMark& operator=(const ThreadEndMark&) = delete;

 private:
  const QThread* thread_;
};

}  // namespace trackmill
