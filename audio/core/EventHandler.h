#pragma once
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/core/AuEvent.h"

// TEventHandler: the one process-wide thread that carries pipeline events to the main
// thread. Outputs post records; the thread takes them in posting order and runs each
// callback on the main thread with a blocking queued call, so handlers run one at a time and
// the next event waits for the previous handler to return. A done event is delivered only
// after the sending worker is parked; it clears the output's Busy and drops that output's
// other queued events. Events of the blocked sender (an output in a synchronous stop) are
// discarded.
//
// Lifetime: reference counted by the outputs (Acquire() in their constructor, Release() in
// their destructor); the first reference starts the thread, the last ends it.
//
// The thread is a std::thread and handlers reach the main thread through a queue under our
// own lock (a Qt event only wakes the main thread), so every hand-over is visible to the
// thread checker.
namespace trackmill {

class TAuOutput;
class TAuThread;

class TMainThreadCalls;

class TEventHandler {
 public:
  enum class Kind : quint8 { Progress = 0, Done = 1, ThreadException = 2, DirectCall = 3 };

  struct Event {
    Kind kind = Kind::Progress;
    TAuOutput* sender = nullptr;
    std::function<void()> callback;  // bound to the handler as it was when posted
    TAuThread* worker = nullptr;     // done events: the sending worker thread
  };

  static TEventHandler* Acquire();
  static void Release();
  // The running instance; valid while any output holds a reference.
  static TEventHandler* Instance();

  // Appends the event unless its sender is the blocked sender, then wakes the thread.
  void Post(Event event);
  // Discards this output's events, now and until UnblockSender(): queued ones are dropped and
  // a delivery waiting for the main thread is called off (its handler does not run).
  void BlockSender(TAuOutput* sender);
  void UnblockSender();
  // Drops every queued event of this output (the one being delivered is not affected).
  void RemoveEvents(TAuOutput* sender);
  // Waits until no event of this output is being delivered, unless the calling thread is the
  // one running that event's handler (a handler may stop its own output). Never waits on the
  // main thread for a blocked sender.
  void WaitWhileDelivering(TAuOutput* sender);

 private:
  TEventHandler();
  ~TEventHandler();
  void Main();
  void Deliver(Event& event);
  void RunOnMainThread(TAuOutput* sender, const std::function<void()>& callback);

  std::mutex queueLock_;
  std::deque<Event> queue_;  // guarded by queueLock_
  TAuOutput* blockedSender_ = nullptr;  // guarded by queueLock_
  TAuOutput* currentSender_ = nullptr;  // guarded by queueLock_
  std::condition_variable delivered_;   // currentSender_ was cleared
  TAuEvent wake_;
  std::atomic<bool> terminated_{false};
  std::unique_ptr<TMainThreadCalls> mainThreadCalls_;
  std::thread thread_;
};

// Runs queued calls on the main thread; posted to by the event thread only.
class TMainThreadCalls : public QObject {
  Q_OBJECT
 public:
  struct Call {
    std::function<void()> run;
    TAuOutput* sender = nullptr;
    bool done = false;  // guarded by TMainThreadCalls::lock_
  };
  // Runs the call on the main thread and waits for it to return (or to be called off).
  // The call stays the caller's; the main thread no longer touches it once done is set.
  void RunAndWait(Call& call);
  // Calls of this sender, pending now or posted until Unblock(), return without running.
  void Block(TAuOutput* sender);
  void Unblock();

 protected:
  void customEvent(QEvent*) override;

 private:
  std::mutex lock_;
  std::condition_variable finished_;
  std::deque<Call*> pending_;  // guarded by lock_
  TAuOutput* blocked_ = nullptr;               // guarded by lock_
};

}  // namespace trackmill
