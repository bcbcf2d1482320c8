#pragma once
#include <QEvent>
#include <QObject>
#include <memory>

#include "common/JobCodes.h"
#include "common/ProcessInfo.h"

// The two messages job workers post to their job window, as Qt events whose type numbers
// are the message numbers. A posted event owns its record; the receiver may take it.
// Posting is thread-safe (QCoreApplication::postEvent); the receiver handles it on its thread.
namespace trackmill {

class JobProgressEvent : public QEvent {
 public:
  explicit JobProgressEvent(std::unique_ptr<TProcessInfo> info);
  static QEvent::Type EventType() { return static_cast<QEvent::Type>(WM_JOB_PROGRESS); }
  const TProcessInfo& Info() const { return *info_; }
  // Hands the record to the receiver (it may post it again).
  std::unique_ptr<TProcessInfo> TakeInfo() { return std::move(info_); }

 private:
  std::unique_ptr<TProcessInfo> info_;
};

class RipFailedEvent : public QEvent {
 public:
  explicit RipFailedEvent(int reason);
  static QEvent::Type EventType() { return static_cast<QEvent::Type>(WM_RIP_FAILED); }
  int Reason() const { return reason_; }

 private:
  int reason_;
};

// Posts a WM_JOB_PROGRESS carrying the record to receiver (nothing when receiver is null).
void PostJobProgress(QObject* receiver, std::unique_ptr<TProcessInfo> info);
// Sends a WM_JOB_PROGRESS and waits until the receiver's thread has handled it
// (a direct call when the caller already is on the receiver's thread).
void SendJobProgress(QObject* receiver, std::unique_ptr<TProcessInfo> info);
void PostRipFailed(QObject* receiver, int reason);

}  // namespace trackmill
