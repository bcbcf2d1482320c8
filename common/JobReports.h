#pragma once
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QString>
#include <variant>

// What job workers (the extraction thread, the encoder processes, the audio pipeline's
// outputs) report to whoever runs the job: typed values, posted as one event type to the
// receiver's thread, where the receiver handles them and starts the next step. A report is a
// plain value; an event owns its report.
namespace trackmill {

// The step of an item a report is about.
enum class JobStep { Extract, Normalize, Resample, EncodeMp3, DecodeMp3, EncodeOgg, EncodeWma, EncodeFlac };

// How a step ended.
enum class StepOutcome {
  Done,           // the step wrote its output
  Declined,       // the user kept the existing output, or there is no encoder to run
  InUse,          // the output file is held open by another program
  Failed,         // the step failed; the error says why when it is known
  EncoderError,   // the encoder printed an error line; the error is that line
  Skipped,        // the step never ran: the item failed before it
  ReadError,      // extraction: a sector read failed, or there is no such track
  CannotCreate,   // extraction: the WAV file could not be created
  WriteError,     // extraction: writing the WAV failed (disk full, size limit)
  DriveRefused,   // extraction: the drive refused the address format; no track can be read
  TocUnreadable,  // extraction: the table of contents could not be read; no track can be read
};

struct StepProgress {
  JobStep step = JobStep::Extract;
  int percent = 0;    // 0..100
  QString elapsed;    // texts as shown ("0:05"); empty while unknown
  QString estimated;
};

struct StepStarted {
  JobStep step = JobStep::Extract;
};

struct StepEnded {
  JobStep step = JobStep::Extract;
  StepOutcome outcome = StepOutcome::Done;
  QString error;
};

using JobReport = std::variant<StepProgress, StepStarted, StepEnded>;

class JobReportEvent : public QEvent {
 public:
  explicit JobReportEvent(JobReport report);
  static QEvent::Type EventType();  // registered with Qt once
  const JobReport& Report() const { return report_; }

 private:
  JobReport report_;
};

// Posts the report to receiver's thread (nothing when receiver is null). Thread-safe.
void PostJobReport(QObject* receiver, JobReport report);
// Delivers the report and waits until the receiver's thread has handled it (a direct call
// when the caller already is on that thread).
void SendJobReport(QObject* receiver, JobReport report);

// Progress of one step: percent = done*100 div total, elapsed seconds rounded from the wall
// clock since construction (or Restart), estimate = elapsed*100/percent rounded; both texts
// empty while the percent is 0. Not thread-safe; one per worker.
class ProgressClock {
 public:
  ProgressClock();
  void Restart();
  StepProgress Make(JobStep step, qint64 done, qint64 total) const;
  // The same rule for a percentage the caller already knows (encoder output).
  StepProgress MakeForPercent(JobStep step, int percent) const;
  qint64 ElapsedMs() const { return timer_.elapsed(); }

 private:
  QElapsedTimer timer_;
};

}  // namespace trackmill
