#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "verify/AccurateRipSum.h"
#include "cd/CopyReport.h"
#include "cd/DiscLayout.h"
#include "cd/Drive.h"
#include "common/JobItem.h"
#include "common/JobReports.h"
#include "jobs/StepVerdict.h"

// The job runner: carries a list of items (CD tracks or files) through one job and tells its
// view what to show. The job window, the fallback extraction window and the command line are
// thin views over it.
//
// Job kinds (job_kind:: in common/JobCodes.h): 1 CD extraction (track items; then, by the
// output format, an MP3, Ogg Vorbis, WMA or FLAC encode, or nothing for WAV), 2 WAV to MP3,
// 3 MP3 to WAV, 4 recorder WAV to MP3 beside the source, 5 WAV to Ogg Vorbis, 6 WAV to WMA,
// 7 WAV to FLAC (any sample rate; MP3 and Ogg Vorbis take inputs below 44100 Hz resampled).
// File items name their source; results go to the output folder of the settings.
//
// One pipeline for every kind: an item is extracted (rips: by the job's TTrackExtractor, the
// drive layer's unless SetExtraction() gave another), encoded by the encoder pool
// (TEncoderPool, which resamples first where needed), tagged in one write (TOutputTagger), and
// settled; messages and results go out item by item. With [CommonOptions] EncoderProcesses
// 1 one step runs at a time in the original's order (extract, encode, extract the next), the
// question before a file is replaced coming as its item starts. Above 1 (0: one per
// processor) several encodes run at once while extraction goes on, the questions come before
// anything starts, the caption and gauge follow the oldest item still running, and the times
// shown are the whole job's.
//
// Files: every item has outputs of its own (PlanOutputs). Nothing is written under a final
// name until it is complete: extracted WAVs, resampled copies and encodes are part files of
// the job's own (PartFileName), renamed when complete or removed. A declined question leaves
// the file untouched and skips the item, in every format. An extracted WAV is kept as
// "<name>.wav" when the settings keep WAVs (asked like any other file) or when its track was
// read but could not be encoded (then the only copy).
//
// Workers (the extractor, the encoder runners, the pipeline outputs) report only through job
// reports (common/JobReports.h) to this object or its pool, handled on this thread. No worker
// touches a view.
//
// Life cycle: construct on the main thread, connect the view, Start(). The runner emits
// Finished() once, after the last item (after a short pause, a timer) or after Stop(); nothing
// runs after that. Handlers never sleep or wait on the main thread. The encoder runners and
// the overwrite question are not owned and must outlive the job. Destroying a running job
// stops it.
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
class TTrackExtractor;
class TOutputTagger;
class TEncoderPool;
struct TSettings;
struct StepVerdict;

// How a rip differs from the drive layer's (the fallback extraction window's).
struct RipStyle {
  bool oneAtATime = false;  // one encoder whatever the settings
  bool id3v1Only = false;   // MP3 results get only the disc's ID3v1 tag; no ReplayGain
};

// Encoders a job runs at once: [CommonOptions] EncoderProcesses, or one per processor for 0.
int EncoderProcessCount(const TSettings& settings);

class TJobRunner : public QObject {
  Q_OBJECT
 public:
  TJobRunner(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
             TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner,
             TOverwriteQuestion* overwriteQuestion, QObject* parent = nullptr);
  ~TJobRunner() override;

  // Before Start(): rips read through extractor, in style, with the settings given (instead of
  // a copy of Settings() taken by Start()).
  void SetExtraction(std::unique_ptr<TTrackExtractor> extractor, RipStyle style, const TSettings& settings);
  // Starts the first step.
  void Start();
  // The Stop button: ends the running step at once and cleans up (nothing half-made stays;
  // a stopped track's WAV stays only where the settings keep WAVs);
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
  // The whole job: items settled, and its gauge (0..100) from every item's share.
  int SettledCount() const { return reportedCount_; }
  int JobPercent() const;
  bool IsFinished() const { return finished_; }
  bool WasStopped() const { return stopped_; }  // by Stop(), not by its own end
  // The item the caption names, and whether it is being extracted.
  int CurrentItem() const { return currentItem_; }
  bool IsExtracting() const { return extracting_; }

  int ItemCount() const { return static_cast<int>(results_.size()); }
  const JobItems& Items() const { return items_; }
  const std::vector<JobItemResult>& ItemResults() const { return results_; }
  int DoneCount() const;
  // Kind 1: the checksums of each item's extracted audio (invalid until it was read whole).
  const std::vector<AccurateRipChecksums>& Checksums() const { return checksums_; }
  // Kind 1: what a secure extraction of each item proved (secure false otherwise).
  const std::vector<CopyReport>& Copies() const { return copies_; }
  // The file an item ends up as (planned as the job is made and again as it starts).
  QString ResultFile(int item) const;
  // Kind 1: the disc's layout, read from the table of contents once as the job starts and
  // shared by every step of the rip; null before Start() or when the table could not be read.
  const DiscLayout* Disc() const { return disc_.get(); }
  // The settings the job works from: a copy of Settings(), taken again by Start().
  const TSettings& JobSettings() const { return *settings_; }
  // Why a failed item failed: its first message (may be empty when the encoder told the user).
  QString FailureOf(int item) const;

 signals:
  // Something the view shows has changed.
  void Changed();
  // An error box (caption Trackmill, error icon).
  void ErrorMessage(const QString& text);
  // An information box (e.g. no WMA encoder).
  void InformationMessage(const QString& text);
  // An item's result is final (in item order).
  void ItemSettled(int item);
  // The job is over; the window closes.
  void Finished();

 protected:
  bool event(QEvent* event) override;

 private:
  // Steps (JobRunner.cpp).
  void ReadDiscLayout();
  void StartExtraction(int item);
  // Rips: extracts the next item that goes on (asking first, one at a time), settling those
  // that do not.
  void ExtractNext();
  void HandleProgress(const StepProgress& progress);
  void ShowJobTimes();  // several at once: the whole job's elapsed and estimated time
  void HandleExtractionEnded(const StepEnded& end);
  bool ExtractsAhead() const;  // the next track is read while earlier ones encode

  // The encodes and the end of the job (JobStages.cpp).
  void MakeEncoderPool();  // none when the results need no encoder (rips to WAV)
  // Asks before the item's files replace existing ones; false: the item does not go on
  // (declined, or its output is in use).
  bool ClearToWrite(int item);
  bool Confirmed(const QString& path);
  // One at a time: starts the next file item that goes on.
  void EncodeNextFile();
  void AddToPool(int item, const QString& input);
  void PoolItemEnded(int item, const StepVerdict& verdict);
  void ItemDone(int item);
  // Rips: the extracted WAV is kept as "<name>.wav" or removed once the item is done; left as
  // the only copy of a track that was read but not encoded; removed when read in part.
  void SettleWav(int item);
  void SettleItem(int item);
  void ReportSettledItems();
  void FollowOldestItem();
  void ShowPoolPhase(int item);
  // Every tag of a finished result in one write: for an MP3 its ID3v2 and ID3v1 tags, cover
  // and ReplayGain (OutputTagger).
  void TagFinishedFile(int item);
  QString GainSource(int item) const;  // the audio the item's encoder is given
  void FinishJob(bool stopped);
  void CloseJob();

  // Helpers.
  QString OutputFolder() const;
  QString ItemName(int item) const;  // title (kind 1) or source path
  void SetCaption(const QString& phase, int current, int item);
  void SetPhase(const char* key, const QString& fallback = {});  // fallback: as JobText's
  void ShowInitializing();
  void SetResult(int item, JobItemResult result);
  void Fail(int item, const QString& message);
  // Applies a judged step end to the item; true when the item is done.
  bool ApplyVerdict(int item, const StepVerdict& verdict);

  int jobKind_;
  std::shared_ptr<CdDrive> cdDrive_;
  std::shared_ptr<const DiscLayout> disc_;
  JobItems items_;
  std::vector<JobItemResult> results_;
  std::vector<QString> failures_;
  std::vector<AccurateRipChecksums> checksums_;
  std::vector<CopyReport> copies_;
  TMp3EncodeProcess* mp3Runner_;
  TWMAEncodeProcess* wmaRunner_;
  TOverwriteQuestion* overwriteQuestion_;
  std::unique_ptr<TSettings> settings_;
  bool ownSettings_ = false;  // SetExtraction gave them
  RipStyle style_;

  int extractedCount_ = 0;  // rips: items past their extraction
  int nextFileItem_ = 0;    // file jobs one at a time: the next item to start
  std::vector<bool> extracted_;  // by item: its track was read whole
  std::vector<bool> keepWav_;    // by item: its WAV is kept ("<name>.wav" is free or may go)
  int extractionPercent_ = 0;  // of the track being read
  mutable int jobPercentShown_ = 0;
  QElapsedTimer jobClock_;
  bool started_ = false;
  bool finished_ = false;
  bool stopped_ = false;
  bool closed_ = false;  // Finished() was emitted
  std::unique_ptr<TTrackExtractor> extractor_;
  std::unique_ptr<TOutputTagger> tagger_;
  std::unique_ptr<TEncoderPool> pool_;  // null: no encodes (rips to WAV)
  bool parallel_ = false;               // several encoders at once
  bool pausesBeforeClosing_ = false;
  std::vector<QStringList> heldMessages_;  // by item, while an earlier item runs
  std::vector<bool> settled_;              // by item: its result is final
  int reportedCount_ = 0;                  // items whose messages were given out

  QString caption_;
  QString phase_;
  int currentItem_ = 0;
  bool extracting_ = false;
  int gauge_ = 0;
  bool gaugeTextVisible_ = false;
  bool initializingVisible_ = true;
  QString elapsed_;
  QString estimated_;
};

}  // namespace trackmill
