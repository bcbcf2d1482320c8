#pragma once
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

#include "verify/AccurateRipSum.h"
#include "cd/DiscLayout.h"
#include "cd/CopyReport.h"
#include "cd/Drive.h"
#include "cd/SecureReader.h"
#include "common/JobReports.h"

// Extraction of one audio track into the WAV file the job planned for it, optionally followed by
// the normalising pass, reported to ReportTo as job reports (common/JobReports.h): progress
// of JobStep::Extract after every read (10 sectors from a drive, a second of audio from an
// image), StepStarted and progress of JobStep::Normalize, and one StepEnded of
// JobStep::Extract at the end (DriveRefused without an open drive, TocUnreadable without the
// disc's layout).
// After a stop request the thread finishes the read in progress, completes the WAV header
// and ends without a further event.
//
// In secure mode (Options.Secure) every sector is proven by reads that agree; a sector that
// never reads is written as silence and the track still ends Done: what could not be proven
// is in Copy(). In fast mode each sector is read once and a failing read fails the track.
//
// The track's audio is read Options.ReadOffset stereo samples later on the disc (earlier when
// negative), with silence where that runs past the disc's ends; its checksums are taken on
// the way (Checksums()). The audio track before an enhanced CD's data session ends at the
// session gap.
//
// The disc's layout comes from the one reading of the table of contents the whole rip shares.
//
// Life cycle: construct on the main thread (it takes the rip settings from Settings() then),
// set Drive and ReportTo, start(); request a stop with Stopped = true. The destructor
// waits for the thread to end. ReportTo must outlive the thread object. One extraction
// thread at a time per drive.
namespace trackmill {
struct TSettings;

// The settings an extraction uses.
struct RipOptions {
  bool EnableRipTime = false;
  qint32 RipTime = 0;  // seconds
  bool IsNormalize = false;
  qint32 NormalizePercent = 100;
  qint32 ReadOffset = 0;  // samples; the drive's (ReadOffsetOf), set by whoever knows the drive
  bool Secure = false;    // every sector proven by reads that agree (cd/SecureReader.h)
  SecureReadOptions SecureRead;

  static RipOptions FromSettings(const TSettings& settings);
};

// Read offsets beyond this many samples are no drive's.
inline constexpr int kMaxReadOffset = 10000;

// The read offset the settings keep for an open drive; 0 when none is kept or there is no drive.
// Main thread (it reads the settings).
qint32 ReadOffsetOf(const CdDrive* drive, const TSettings& settings);

class TCDRipThread : public QThread {
 public:
  // disc: none when the table of contents could not be read.
  TCDRipThread(int trackNo, const QString& wavPath, std::shared_ptr<const DiscLayout> disc);
  ~TCDRipThread() override;

  const int TrackNo;  // 1-based position of the track in the table of contents
  std::shared_ptr<CdDrive> Drive;  // the thread holds a share while it reads
  QObject* ReportTo = nullptr;
  std::atomic<bool> Stopped{false};
  RipOptions Options;

  // Path of the WAV file this thread writes.
  const QString& FileName() const { return wavPath_; }
  // Why the normalising pass failed (the extracted WAV then stays as it was, and the final
  // report still says success so the job goes on); empty when it ran or was not asked for.
  // Set before the final report is posted.
  QString NormalizeError() const;
  // The track's checksums, of the audio as extracted (before normalising); valid only when the
  // whole track was read. Set before the final report is posted.
  AccurateRipChecksums Checksums() const { return checksums_; }
  // What a secure extraction proved (secure false after a fast one); set like Checksums().
  CopyReport Copy() const { return copy_; }

 protected:
  void run() override;

 private:
  void End(StepOutcome outcome);
  // Reads sampleCount samples from disc sample firstSample (may lie outside the disc) into file.
  void RipTrack(const QString& fileName, qint64 firstSample, qint64 sampleCount, qint64 discSamples,
                AccurateRipSum& sum, int32_t trackSector);

  // Written by the thread before its last event.
  const QString wavPath_;
  const std::shared_ptr<const DiscLayout> disc_;
  QString normalizeError_;
  AccurateRipChecksums checksums_;
  CopyReport copy_;
};

}  // namespace trackmill
