#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "verify/AccurateRipSum.h"
#include "cd/DiscLayout.h"
#include "cd/Drive.h"
#include "common/JobItem.h"
#include "common/JobReports.h"
#include "jobs/StepVerdict.h"

// The job runner: carries a list of items (CD tracks or files) through one job, one item and
// one step at a time, and tells its view what to show. The job window and the command line
// are thin views over it.
//
// Job kinds (job_kind:: in common/JobCodes.h): 1 CD extraction (track items; then,
// by the output format, MP3 encode and ID3 tag, nothing, Ogg Vorbis, WMA or FLAC encode),
// 2 WAV to MP3 (resampled first through "VoVE3ReTemp.wav" below 44100 Hz), 3 MP3 to WAV,
// 4 recorder WAV to MP3 beside the source, 5 WAV to Ogg Vorbis (resampled first through
// "MyReTemp.wav" below 44100 Hz), 6 WAV to WMA, 7 WAV to FLAC (any sample rate).
// File items name their source; results go to the output folder of the settings.
//
// Workers (the extraction thread, the encoder runners, the pipeline outputs) report only
// through job reports (common/JobReports.h) to this object, which handles them on its
// thread and starts the next step from there. No worker touches a view.
//
// Life cycle: construct on the main thread, connect the view, Start(). The runner emits
// Finished() once, after the last item or after Stop(); nothing runs after that. Handlers of
// the workers' reports never sleep or wait on the main thread: fixed pauses are timers. The
// encoder runners and the overwrite question are not owned and must outlive the job.
// Destroying a running job stops it.
//
// Encoding on every core: with [CommonOptions] EncoderProcesses above 1 (0: one per
// processor), the encodes of a rip or of a WAV to MP3/Ogg/WMA/FLAC job run several at once
// (see TEncoderPool; an input below 44100 Hz to MP3 or Ogg is resampled by its encode into a
// file of its own), the overwrite questions come before anything starts, and messages,
// results, caption and gauge still go item by item (the caption follows the oldest item
// still running). With 1: one step at a time as described above.
//
// Settings: the job works from a copy of the settings record taken when it starts (output
// folder and format, encoder settings, disc fields), so nothing changes under a running job.
//
// Failures: every failure of an item is shown (ErrorMessage) and the job goes on with the
// next item, except a drive that refuses the address format or the table of contents, which
// ends the job. ItemResults() says how each item ended.
namespace trackmill {

class TEncodeProcess;
class TMp3EncodeProcess;
class TWMAEncodeProcess;
class TOverwriteQuestion;
class TCDRipThread;
class TJobPipeline;
class TOutputTagger;
class TEncoderPool;
struct TSettings;

// Encoders a job runs at once: [CommonOptions] EncoderProcesses, or one per processor for 0.
int EncoderProcessCount(const TSettings& settings);

class TJobRunner : public QObject {
  Q_OBJECT
 public:
  static constexpr char kMp3ResampleTemp[] = "VoVE3ReTemp.wav";
  static constexpr char kOggResampleTemp[] = "MyReTemp.wav";

  TJobRunner(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
             TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner,
             TOverwriteQuestion* overwriteQuestion, QObject* parent = nullptr);
  ~TJobRunner() override;

  // Starts the first step.
  void Start();
  // The Stop button: ends the running step at once (partial output stays) and cleans up;
  // IsFinished() holds on return. Finished() follows from the event loop, never from inside
  // Stop(), and Stop() never runs the event loop: it is safe in a handler of a window that
  // Finished() destroys. Main thread only.
  void Stop();

  // What the view shows.
  int JobKind() const { return jobKind_; }
  QString Caption() const { return caption_; }
  QString Phase() const { return phase_; }            // the group box text
  int GaugePercent() const { return gauge_; }
  bool GaugeTextVisible() const { return gaugeTextVisible_; }
  bool InitializingVisible() const { return initializingVisible_; }  // "Initializing..."
  QString ElapsedText() const { return elapsed_; }
  QString EstimatedText() const { return estimated_; }
  bool IsFinished() const { return finished_; }

  int ItemCount() const { return static_cast<int>(results_.size()); }
  const JobItems& Items() const { return items_; }
  const std::vector<JobItemResult>& ItemResults() const { return results_; }
  int DoneCount() const;
  // Kind 1: the checksums of each item's extracted audio (invalid until it was read whole).
  const std::vector<AccurateRipChecksums>& Checksums() const { return checksums_; }
  // The file an item ends up as (planned as the job is made and again as it starts).
  QString ResultFile(int item) const;
  // Kind 1: the disc's layout, read from the table of contents once as the job starts and
  // shared by every step of the rip; null before Start() or when the table could not be read.
  const DiscLayout* Disc() const { return disc_.get(); }
  // The settings the job works from: a copy of Settings(), taken again by Start().
  const TSettings& JobSettings() const { return *settings_; }

 signals:
  // Something the view shows has changed.
  void Changed();
  // An error box (caption Trackmill, error icon).
  void ErrorMessage(const QString& text);
  // An information box (e.g. no WMA encoder).
  void InformationMessage(const QString& text);
  // The job is over; the window closes.
  void Finished();

 protected:
  bool event(QEvent* event) override;

 private:
  friend class TJobPipeline;

  // Steps.
  void ReadDiscLayout();
  void StartExtraction(int item);
  void StartMp3(const QString& input, const QString& output, bool encode, int item);
  void StartWma(const QString& input, const QString& output, int item);
  void StartFileItem(int item);  // kinds 2, 3, 5, 6, 7: the first step of an item
  void FinishJob(bool stopped);
  void CloseJob();
  // Counts the current item as ended; false when it was the last and the job is closed.
  bool MoveToNextItem();

  // Handlers of the workers' reports.
  void HandleProgress(const StepProgress& progress);
  void HandleNormalizeBegins();
  void HandleExtractionEnded(const StepEnded& end);
  void HandleMp3Ended(const StepEnded& end);
  void HandleWmaEnded(const StepEnded& end);
  void StartNextExtraction();
  void WmaTimerTick();
  // Every tag of a finished result in one write: for an MP3 its ID3v2 and ID3v1 tags, cover
  // and ReplayGain (OutputTagger).
  void TagFinishedFile(int item);
  // As an item's encoder starts: its ReplayGain is measured meanwhile off this thread.
  void MeasureGainAhead(int item);
  QString GainSource(int item) const;  // the audio the item's encoder is given

  // Helpers.
  QString OutputFolder() const;
  QString TrackTitle(int item) const;
  int TrackNumber(int item) const;   // 0 for a file item
  QString SourcePath(int item) const; // a file item's source
  QString TrackWav(int item) const;     // a CD track's extracted WAV
  QString ItemName(int item) const;     // title (kind 1) or source path
  void SetCaption(const QString& phase, int current, int item);
  void SetPhase(const char* key, const QString& fallback = {});  // fallback: as JobText's
  void ShowInitializing();
  void SetResult(int item, JobItemResult result);
  void Fail(int item, const QString& message);
  // Applies a judged step end to the item; true when the item is done.
  bool ApplyVerdict(int item, const StepVerdict& verdict);
  // What judging the current step of an item needs (output: the item's result file when null).
  StepContext ContextOf(int item, const QString& output = QString()) const;
  // The current item's step cannot run: its end is reported as a skip, with what went wrong,
  // so the job goes on as after any other end.
  void SkipItem(JobStep step, const QString& message);
  // Fills the encoder's fields and starts it; a start that fails skips the item.
  void LaunchEncoder(TEncodeProcess& encoder, const QString& input, const QString& output, int item,
                     JobStep step);
  void NoteWmaStart(const QString& input);

  int jobKind_;
  std::shared_ptr<CdDrive> cdDrive_;
  std::shared_ptr<const DiscLayout> disc_;
  JobItems items_;
  std::vector<JobItemResult> results_;
  std::vector<AccurateRipChecksums> checksums_;
  TMp3EncodeProcess* mp3Runner_;
  TWMAEncodeProcess* wmaRunner_;
  TOverwriteQuestion* overwriteQuestion_;
  std::unique_ptr<TSettings> settings_;

  int extractedCount_ = 0;
  int encodedCount_ = 0;
  int oggCount_ = 0;
  bool progressSeen_ = false;
  bool started_ = false;
  bool finished_ = false;
  bool closed_ = false;  // Finished() was emitted
  std::unique_ptr<TCDRipThread> ripThread_;
  std::unique_ptr<TJobPipeline> pipeline_;
  std::unique_ptr<TOutputTagger> tagger_;

  // Several encoders at once ([CommonOptions] EncoderProcesses above 1; JobParallel.cpp):
  // extraction goes on while the pool encodes, and each item's messages and result are
  // given out only once every item before it has ended.
  bool StartParallel();
  void AddToPool(int item, const QString& input);
  void PoolItemEnded(int item, bool ok, const QString& error);
  void SettleItem(int item);
  void ReportSettledItems();
  void FollowOldestItem();
  void ShowPoolPhase(int item);  // "Encoding(" or "Decoding(" the item
  std::unique_ptr<TEncoderPool> pool_;
  std::vector<QStringList> heldMessages_;  // by item, while an earlier item runs
  std::vector<bool> settled_;              // by item: its result is final
  int reportedCount_ = 0;                  // items whose messages were given out

  QElapsedTimer wmaStart_;
  qint64 wmaInputSize_ = -1;
  QString wmaOutput_;
  QTimer wmaEstimateTimer_;

  QString caption_;
  QString phase_;
  int gauge_ = 0;
  bool gaugeTextVisible_ = false;
  bool initializingVisible_ = true;
  QString elapsed_;
  QString estimated_;
};

}  // namespace trackmill
