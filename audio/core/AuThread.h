#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>


// TAuThread: the worker thread of one output. Created and started with the output, parked
// between runs, ended by the output's destructor. Only TAuOutput and TEventHandler drive it.
// Polled flags (stop, pause request, notify-done, done-sent, delay) are atomics. Parking and
// pausing hand over under stateLock_, so "parked" is never observed while a run request is
// pending; parking and sending the done event are announced on stateChanged_. A stop request
// also ends or prevents a pause. A std::thread, so that joining it
// orders its last writes before the owner frees anything.
namespace trackmill {

class TAuOutput;

class TAuThread {
 public:
  explicit TAuThread(TAuOutput* owner);
  ~TAuThread();

  void Start();
  bool Ended() const { return ended_; }

  // Ends the thread: asks it to terminate, wakes it while parked and waits for it.
  void Terminate();
  // Parked between runs with no run pending.
  bool IsParked();
  // Blocks until the worker is parked or has sent its done event (a stop request makes that
  // at most one step away).
  void WaitUntilParkedOrDoneSent();
  bool IsPaused();
  void RequestRun();
  void ResumeRun();

 private:
  void Main();
  friend class TAuOutput;
  friend class TEventHandler;

  void Park();
  void RunOnce();
  void PauseHere();
  void NoteDoneSent();

  TAuOutput* owner_;
  std::atomic<bool> notifyDone_{true};
  std::atomic<bool> doneSent_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> pauseRequested_{false};
  std::atomic<int> delayMs_{0};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> ended_{false};
  std::thread thread_;

  std::mutex stateLock_;
  std::condition_variable stateChanged_;
  bool waiting_ = false;          // guarded by stateLock_
  bool runRequested_ = false;     // guarded by stateLock_
  bool paused_ = false;           // guarded by stateLock_
  bool resumeRequested_ = false;  // guarded by stateLock_
};

}  // namespace trackmill
