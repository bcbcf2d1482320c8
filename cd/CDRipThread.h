#pragma once
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>

#include "cd/CDRecords.h"

// Extraction of one audio track into "<OutputFolder>/<TrackName>.wav", optionally followed by
// the normalising pass, reported to NotifyWnd by posted events (common/JobEvents.h):
//   WM_RIP_FAILED 1 / 2     the drive refused MSF addresses / the TOC could not be read;
//   WM_JOB_PROGRESS 0..100  after every read of (at most) 10 sectors, and during normalising;
//   WM_JOB_PROGRESS 999     normalising begins;
//   WM_JOB_PROGRESS 1000    the end, ErrorCode one of the kRip* values below.
// After a stop request the thread finishes the read in progress, completes the WAV header
// and ends without a further event.
//
// Life cycle: construct on the main thread (it takes the rip settings from Settings() then),
// set CDHandle and NotifyWnd, start(); request a stop with Stopped = true. The destructor
// waits for the thread to end. NotifyWnd must outlive the thread object. One extraction
// thread at a time per drive handle.
namespace trackmill {

inline constexpr qint32 kRipDone = 0;
inline constexpr qint32 kRipReadError = 3;       // a sector read failed, or no such track
inline constexpr qint32 kRipCannotCreate = 5;    // the WAV file could not be created
inline constexpr qint32 kRipWriteError = 6;      // writing the WAV failed (disk full, size limit)

// The settings an extraction uses.
struct RipOptions {
  QString OutputFolder;
  bool EnableRipTime = false;
  qint32 RipTime = 0;  // seconds
  bool IsNormalize = false;
  qint32 NormalizePercent = 100;

  static RipOptions FromSettings();
};

class TCDRipThread : public QThread {
 public:
  TCDRipThread(int trackNo, const QString& trackName);
  ~TCDRipThread() override;

  int TrackNo;        // 1-based position of the track in the table of contents
  QString TrackName;  // base name of the WAV file
  TCDHandle CDHandle = 0;
  QObject* NotifyWnd = nullptr;
  std::atomic<bool> Stopped{false};
  RipOptions Options;

  // Path of the WAV file this thread writes.
  QString FileName() const;
  // Why the normalising pass failed (the extracted WAV then stays as it was, and the final
  // record still reports success so the job goes on); empty when it ran or was not asked for.
  // Set before the final record is posted.
  QString NormalizeError() const;

 protected:
  void run() override;

 private:
  void RipTrack(const QString& fileName, qint64 length, qint64 start);

  QString normalizeError_;  // written by the thread before its last event
};

}  // namespace trackmill
