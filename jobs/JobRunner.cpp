#include "jobs/JobRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include "cd/CDRipThread.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
#include "common/TextForms.h"
#include "jobs/EncoderCommands.h"
#include "jobs/EncoderPool.h"
#include "jobs/JobPipeline.h"
#include "jobs/JobPlan.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OutputTagger.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"
#include "tags/Id3Tag.h"

namespace trackmill {

TJobRunner::TJobRunner(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
                       TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner,
                       TOverwriteQuestion* overwriteQuestion, QObject* parent)
    : QObject(parent),
      jobKind_(jobKind),
      cdDrive_(std::move(cdDrive)),
      items_(items),
      results_(items.size(), JobItemResult::Pending),
      checksums_(items.size()),
      mp3Runner_(mp3Runner),
      wmaRunner_(wmaRunner),
      overwriteQuestion_(overwriteQuestion),
      settings_(std::make_unique<TSettings>(Settings())),
      pipeline_(std::make_unique<TJobPipeline>(*this)),
      tagger_(std::make_unique<TOutputTagger>(*settings_)) {
  PlanOutputs(items_, jobKind_, *settings_);
  wmaEstimateTimer_.setInterval(1000);
  connect(&wmaEstimateTimer_, &QTimer::timeout, this, &TJobRunner::WmaTimerTick);
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_),
                                 static_cast<TEncodeProcess*>(wmaRunner_)})
    if (runner)
      connect(runner, &TEncodeProcess::InformationMessage, this,
              &TJobRunner::InformationMessage);
}

TJobRunner::~TJobRunner() {
  if (started_ && !finished_) FinishJob(true);
}

void TJobRunner::Start() {
  if (started_) return;
  started_ = true;
  *settings_ = Settings();
  NormalizeWmaSetting(*settings_);
  PlanOutputs(items_, jobKind_, *settings_);
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_),
                                 static_cast<TEncodeProcess*>(wmaRunner_)})
    if (runner) runner->CommandSettings = settings_.get();
  if (items_.empty()) {
    CloseJob();
    return;
  }
  if (jobKind_ == job_kind::kRipCd) ReadDiscLayout();
  if (StartParallel()) return;
  switch (jobKind_) {
    case job_kind::kRipCd:
      SetPhase("RES_Extracting");
      SetCaption("Extracting(", 1, 0);
      ShowInitializing();
      StartExtraction(0);
      break;
    case job_kind::kRecorderWavToMp3:
      SetPhase("RES_WAV_TO_MP3");
      SetCaption("Encoding(", 1, 0);
      StartMp3(SourcePath(0), ResultFile(0), true, 0);
      break;
    default:
      StartFileItem(0);
      break;
  }
}

void TJobRunner::Stop() {
  if (finished_) return;
  pipeline_->StopRunning();
  FinishJob(true);
  QMetaObject::invokeMethod(this, &TJobRunner::CloseJob, Qt::QueuedConnection);
}

// ---- texts and view state -------------------------------------------------------------

QString TJobRunner::OutputFolder() const {
  return IncludeTrailingSeparator(settings_->OutputFolder);
}

QString TJobRunner::TrackTitle(int item) const {
  return item >= 0 && item < ItemCount() ? items_[size_t(item)].title : QString();
}

int TJobRunner::TrackNumber(int item) const { return item >= 0 && item < ItemCount() ? items_[size_t(item)].track : 0; }

QString TJobRunner::SourcePath(int item) const {
  return item >= 0 && item < ItemCount() ? items_[size_t(item)].source : QString();
}

QString TJobRunner::TrackWav(int item) const { return item >= 0 && item < ItemCount() ? items_[size_t(item)].wav : QString(); }

QString TJobRunner::ItemName(int item) const {
  return jobKind_ == job_kind::kRipCd ? TrackTitle(item) : SourcePath(item);
}

QString TJobRunner::ResultFile(int item) const {
  return item >= 0 && item < ItemCount() ? items_[size_t(item)].output : QString();
}

void TJobRunner::SetCaption(const QString& phase, int current, int item) {
  caption_ = JobCaption(phase, current, ItemCount(), ItemName(item));
  emit Changed();
}

void TJobRunner::SetPhase(const char* key, const QString& fallback) {
  phase_ = JobText(key, fallback);
  emit Changed();
}

void TJobRunner::ShowInitializing() {
  initializingVisible_ = true;
  gauge_ = 0;
  gaugeTextVisible_ = false;
  emit Changed();
}

int TJobRunner::DoneCount() const {
  return static_cast<int>(std::count(results_.begin(), results_.end(), JobItemResult::Done));
}

void TJobRunner::SetResult(int item, JobItemResult result) {
  if (item < 0 || item >= static_cast<int>(results_.size())) return;
  // A failure noted earlier in the item's steps stays a failure.
  if (results_[item] == JobItemResult::Failed && result == JobItemResult::Done) return;
  results_[item] = result;
}

void TJobRunner::Fail(int item, const QString& message) {
  SetResult(item, JobItemResult::Failed);
  if (message.isEmpty()) return;
  if (pool_ && item >= reportedCount_ && item < int(heldMessages_.size()))
    heldMessages_[size_t(item)] << message;
  else
    emit ErrorMessage(message);
}

bool TJobRunner::ApplyVerdict(int item, const StepVerdict& verdict) {
  if (verdict.result == JobItemResult::Failed)
    Fail(item, verdict.message);
  else if (verdict.result != JobItemResult::Pending)
    SetResult(item, verdict.result);
  return verdict.result == JobItemResult::Done;
}

StepContext TJobRunner::ContextOf(int item, const QString& output) const {
  return {ItemName(item), output.isNull() ? ResultFile(item) : output, progressSeen_};
}

// ---- starting steps -----------------------------------------------------------------

void TJobRunner::ReadDiscLayout() {
  const std::optional<DiscToc> toc = cdDrive_ ? cdDrive_->ReadToc() : std::nullopt;
  if (toc) disc_ = std::make_shared<const DiscLayout>(DiscLayout::FromToc(*toc));
}

void TJobRunner::StartExtraction(int item) {
  ripThread_.reset();
  ripThread_ = std::make_unique<TCDRipThread>(TrackNumber(item), TrackWav(item), disc_);
  ripThread_->Drive = cdDrive_;
  ripThread_->Options = RipOptions::FromSettings(*settings_);
  ripThread_->Options.ReadOffset = ReadOffsetOf(cdDrive_.get(), *settings_);
  ripThread_->ReportTo = this;
  ripThread_->start();
}

void TJobRunner::StartMp3(const QString& input, const QString& output, bool encode, int item) {
  if (!mp3Runner_) {
    SkipItem(JobStep::EncodeMp3, JobText("RES_NoMp3Runner"));
    return;
  }
  mp3Runner_->EncodeMode = encode;
  if (encode) MeasureGainAhead(item);
  LaunchEncoder(*mp3Runner_, input, output, item, encode ? JobStep::EncodeMp3 : JobStep::DecodeMp3);
}

void TJobRunner::NoteWmaStart(const QString& input) {
  wmaStart_.start();
  gauge_ = 0;
  estimated_.clear();
  wmaInputSize_ = FileSizeBySearch(input);
  wmaEstimateTimer_.start();
  emit Changed();
}

void TJobRunner::StartWma(const QString& input, const QString& output, int item) {
  wmaOutput_ = output;
  NoteWmaStart(input);
  if (!wmaRunner_) {
    SkipItem(JobStep::EncodeWma, JobText("RES_NoWmaEncoder"));
    return;
  }
  MeasureGainAhead(item);
  LaunchEncoder(*wmaRunner_, input, output, item, JobStep::EncodeWma);
}

void TJobRunner::SkipItem(JobStep step, const QString& message) {
  progressSeen_ = true;
  PostJobReport(this, StepEnded{step, StepOutcome::Skipped, message});
}

void TJobRunner::LaunchEncoder(TEncodeProcess& encoder, const QString& input, const QString& output,
                               int item, JobStep step) {
  encoder.Running = true;
  encoder.InputFile = input;
  encoder.OutputFile = output;
  encoder.ReportTo = this;
  encoder.JobKind = jobKind_;
  encoder.OverwriteQuestion = overwriteQuestion_;
  try {
    encoder.StartEncoder();
  } catch (const EEncoderError& error) {
    encoder.Running = false;  // nothing was started
    SkipItem(step, error.Message());
  }
}

void TJobRunner::StartFileItem(int item) {
  const QString path = SourcePath(item);
  switch (jobKind_) {
    case job_kind::kWavToMp3:
    case job_kind::kWavToOgg:
    case job_kind::kWavToFlac:
      pipeline_->StartFileItem(item);
      break;
    case job_kind::kMp3ToWav:
      SetPhase(item == 0 ? "RES_MP3_TO_WAV" : "RES_Decoding");
      SetCaption("Decoding(", item + 1, item);
      StartMp3(path, ResultFile(item), false, item);
      break;
    case job_kind::kWavToWma:
      SetPhase(item == 0 ? "RES_WAV_TO_WMA" : "RES_Encoding");
      SetCaption("Encoding(", item + 1, item);
      StartWma(path, ResultFile(item), item);
      break;
    default:
      break;
  }
}

void TJobRunner::StartNextExtraction() {
  SetCaption("Extracting(", extractedCount_ + 1, extractedCount_);
  ShowInitializing();
  SetPhase("RES_Extracting");
  StartExtraction(extractedCount_);
}

// ---- events -----------------------------------------------------------------------------

bool TJobRunner::event(QEvent* event) {
  if (event->type() != JobReportEvent::EventType()) return QObject::event(event);
  // Reports that arrive after the job ended (a step stopped mid-way) are dropped.
  if (finished_) return true;
  const JobReport& report = static_cast<JobReportEvent*>(event)->Report();
  if (const auto* progress = std::get_if<StepProgress>(&report)) {
    HandleProgress(*progress);
  } else if (const auto* started = std::get_if<StepStarted>(&report)) {
    if (started->step == JobStep::Normalize) HandleNormalizeBegins();
  } else {
    const StepEnded& end = std::get<StepEnded>(report);
    switch (end.step) {
      case JobStep::Extract:
      case JobStep::Normalize: HandleExtractionEnded(end); break;
      case JobStep::EncodeMp3:
      case JobStep::DecodeMp3: HandleMp3Ended(end); break;
      case JobStep::EncodeOgg:
      case JobStep::EncodeFlac: pipeline_->HandleEncodeEnded(end); break;
      case JobStep::Resample: pipeline_->HandleResampleEnded(end); break;
      case JobStep::EncodeWma: HandleWmaEnded(end); break;
    }
  }
  return true;
}

void TJobRunner::HandleProgress(const StepProgress& progress) {
  // An older item still encoding keeps the gauge.
  if (pool_ && pool_->OldestRunningItem() >= 0) return;
  wmaEstimateTimer_.stop();
  progressSeen_ = true;
  elapsed_ = progress.elapsed;
  estimated_ = progress.estimated;
  if (progress.percent > 0) {
    initializingVisible_ = false;
    gaugeTextVisible_ = true;
    gauge_ = std::clamp(progress.percent, 0, 100);
  }
  emit Changed();
}

void TJobRunner::HandleNormalizeBegins() {
  SetCaption("Normalizing(", extractedCount_ + 1, extractedCount_);
}

}  // namespace trackmill
