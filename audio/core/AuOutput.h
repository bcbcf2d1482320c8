#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "audio/core/AuInput.h"

// TAuOutput: the base of everything in the audio pipeline that consumes PCM.
//
// Each output owns one worker thread (TAuThread), created with the output and parked between
// runs. Run() wakes it; the worker calls PrepareOutput() (which is expected to Init() the
// input), then OutputBlock() step by step until it returns false or a stop is requested, then
// FinishOutput() (expected to Flush() the input). A failure on the worker thread, finishing
// included, never escapes it: the message is kept (ExceptionMessage()), OnThreadException is
// raised, the run is finished normally and OnDone follows.
//
// Events: OnProgress (percent changed), OnThreadException and OnDone are std::function
// callbacks taking the sending output. They run on the application's main thread, one at a
// time, in posting order, through the process-wide event thread (TEventHandler), which waits
// for each to return. OnDone runs only after the worker is parked, so it may call Run() again.
//
// Threads: Run(), Stop(), Pause(), Resume(), SetInput() and the setters are for the main
// thread. PrepareOutput(), OutputBlock() and FinishOutput() run on the worker thread.
//
// Errors: Run() raises EAuException "Component is Busy" / "Input is not assigned";
// Pause() "Input is not assigned." without an input.
namespace trackmill {

class TAuThread;

class TAuOutput : public QObject {
  Q_OBJECT
 public:
  using EventHandler = std::function<void(TAuOutput* sender)>;

  explicit TAuOutput(QObject* parent = nullptr);
  // Stops synchronously and ends the worker thread.
  ~TAuOutput() override;

  // While busy: stops synchronously, sets the input and runs again.
  virtual void SetInput(TAuInput* input);

 protected:
  // One step of the run; abort is the current stop request. Returns whether there is more.
  virtual bool OutputBlock(bool abort) = 0;
  // Ends the run (expected to Flush() the input); throws when the output could not be
  // completed. Runs after a failed or stopped run too.
  virtual void FinishOutput() = 0;
  // Starts the run (expected to Init() the input).
  virtual void PrepareOutput() = 0;

 public:
  // Starts a run on the worker thread.
  void Run();
  // Ends a run early. async: return at once, OnDone still follows. Otherwise returns only once
  // the worker is parked or has sent its done event (at most one step away); no handler of
  // this output runs after that, no OnDone of this run is delivered and this output's queued
  // events are discarded. Never runs the event loop, so it is safe in any handler.
  void Stop(bool async = true);
  // Returns at once; the worker holds before its next step and the input's PauseInput() then
  // follows on the main thread. Status() is 1 from here on.
  void Pause();
  void Resume();
  // 2 idle, 1 busy and paused (or asked to), 0 busy and running.
  int Status() const;
  // Percent done: 0 without input or with an empty input, -1 when the size is unknown.
  int Progress() const;

  TAuInput* Input() const { return input_.data(); }
  bool Busy() const { return busy_.load(); }
  bool Stopped() const { return stopped_.load(); }
  QString ExceptionMessage() const;
  // Sleeps this many milliseconds before each step when above 5 (players pace themselves).
  void SetDelay(int delayMs);

  void SetOnDone(EventHandler handler);
  void SetOnProgress(EventHandler handler);
  void SetOnThreadException(EventHandler handler);
  EventHandler OnDone() const;
  EventHandler OnProgress() const;
  EventHandler OnThreadException() const;

 protected:
  // True between a successful PrepareOutput() and the finish.
  bool CanOutput() const { return canOutput_.load(); }
  // Stops synchronously and ends the worker thread; idempotent. Concrete outputs call it first
  // thing in their destructor, so that no step runs on a half-destroyed object.
  void ShutDown();

  QPointer<TAuInput> input_;  // cleared when the input is destroyed

 private:
  friend class TAuThread;
  friend class TEventHandler;

  // Worker thread: keeps the message and posts OnThreadException when assigned.
  void ReportThreadException(const QString& message);

  std::atomic<bool> stopped_{false};
  std::atomic<bool> canOutput_{false};
  std::atomic<int> lastProgress_{0};
  std::atomic<bool> busy_{false};
  mutable std::mutex dataLock_;  // held by Run(); guards the handlers and the exception message
  QString exceptionMessage_;
  EventHandler onDone_;
  EventHandler onProgress_;
  EventHandler onThreadException_;
  std::unique_ptr<TAuThread> thread_;
};

}  // namespace trackmill
