#include "jobs/JobRunner.h"

#include <QMetaObject>

#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
#include "common/TextForms.h"
#include "jobs/DriveExtractor.h"
#include "jobs/EncoderPool.h"
#include "jobs/JobPlan.h"
#include "jobs/TrackExtractor.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OutputTagger.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/EncoderCommands.h"
#include "jobs/WmaEstimate.h"
#include "settings/Settings.h"

namespace trackmill {

TJobRunner::TJobRunner(int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
                       TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner,
                       TOverwriteQuestion* overwriteQuestion, QObject* parent)
    : QObject(parent),
      jobKind_(jobKind),
      cdDrive_(std::move(cdDrive)),
      items_(items),
      results_(items.size(), JobItemResult::Pending),
      failures_(items.size()),
      checksums_(items.size()),
      copies_(items.size()),
      mp3Runner_(mp3Runner),
      wmaRunner_(wmaRunner),
      overwriteQuestion_(overwriteQuestion),
      settings_(std::make_unique<TSettings>(Settings())),
      extracted_(items.size(), false),
      keepWav_(items.size(), false),
      heldMessages_(items.size()),
      settled_(items.size(), false) {
  PlanOutputs(items_, jobKind_, *settings_);
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_), static_cast<TEncodeProcess*>(wmaRunner_)})
    if (runner) connect(runner, &TEncodeProcess::InformationMessage, this, &TJobRunner::InformationMessage);
}

TJobRunner::~TJobRunner() {
  if (started_ && !finished_) FinishJob(true);
}

void TJobRunner::SetExtraction(std::unique_ptr<TTrackExtractor> extractor, RipStyle style, const TSettings& settings) {
  extractor_ = std::move(extractor);
  style_ = style;
  *settings_ = settings;
  ownSettings_ = true;
}

void TJobRunner::Start() {
  if (started_) return;
  started_ = true;
  jobClock_.start();
  if (!ownSettings_) *settings_ = Settings();
  NormalizeWmaSetting(*settings_);
  PlanOutputs(items_, jobKind_, *settings_);
  QStringList outputs;
  for (const JobItem& item : items_) outputs << item.output;
  tagger_ = std::make_unique<TOutputTagger>(*settings_, CommonFolder(outputs));
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_), static_cast<TEncodeProcess*>(wmaRunner_)})
    if (runner) runner->CommandSettings = settings_.get();
  if (items_.empty()) {
    CloseJob();
    return;
  }
  MakeEncoderPool();
  if (jobKind_ == job_kind::kRipCd) {
    ReadDiscLayout();
    if (!extractor_) {
      RipOptions options = RipOptions::FromSettings(*settings_);
      options.ReadOffset = ReadOffsetOf(cdDrive_.get(), *settings_);
      extractor_ = std::make_unique<DriveExtractor>(cdDrive_, disc_, options);
    }
    SetPhase("RES_Extracting");
    ExtractNext();
  } else if (parallel_) {
    for (int item = 0; item < ItemCount(); ++item) {
      if (results_[size_t(item)] == JobItemResult::Pending)
        AddToPool(item, items_[size_t(item)].source);
      else
        SettleItem(item);
    }
  } else {
    EncodeNextFile();
  }
  FollowOldestItem();
  ReportSettledItems();
}

void TJobRunner::Stop() {
  if (finished_) return;
  FinishJob(true);
  QMetaObject::invokeMethod(this, &TJobRunner::CloseJob, Qt::QueuedConnection);
}

// ---- texts and view state -------------------------------------------------------------

QString TJobRunner::OutputFolder() const { return IncludeTrailingSeparator(settings_->OutputFolder); }

QString TJobRunner::ItemName(int item) const {
  if (item < 0 || item >= ItemCount()) return {};
  return jobKind_ == job_kind::kRipCd ? items_[size_t(item)].title : items_[size_t(item)].source;
}

QString TJobRunner::ResultFile(int item) const {
  return item >= 0 && item < ItemCount() ? items_[size_t(item)].output : QString();
}

QString TJobRunner::FailureOf(int item) const {
  return item >= 0 && item < ItemCount() ? failures_[size_t(item)] : QString();
}

void TJobRunner::SetCaption(const QString& phase, int current, int item) {
  caption_ = JobCaption(phase, current, ItemCount(), ItemName(item));
  currentItem_ = item;
  extracting_ = phase == QLatin1String("Extracting(") || phase == QLatin1String("Normalizing(");
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
  elapsed_.clear();
  estimated_.clear();
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
  if (item >= 0 && item < ItemCount() && failures_[size_t(item)].isEmpty()) failures_[size_t(item)] = message;
  if (message.isEmpty()) return;
  if (item >= reportedCount_ && item < int(heldMessages_.size()))
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

// ---- extraction -----------------------------------------------------------------------

void TJobRunner::ReadDiscLayout() {
  const std::optional<DiscToc> toc = cdDrive_ ? cdDrive_->ReadToc() : std::nullopt;
  if (toc) disc_ = std::make_shared<const DiscLayout>(DiscLayout::FromToc(*toc));
}

bool TJobRunner::ExtractsAhead() const { return parallel_ || !pool_; }

void TJobRunner::ExtractNext() {
  while (extractedCount_ < ItemCount() && !finished_) {
    const int item = extractedCount_;
    // Several at once: the questions were asked as the job started.
    if (results_[size_t(item)] == JobItemResult::Pending && (parallel_ || ClearToWrite(item))) {
      StartExtraction(item);
      return;
    }
    SettleItem(item);
    ++extractedCount_;
  }
}

int TJobRunner::JobPercent() const {
  if (ItemCount() == 0) return 0;
  // A rip's item is half reading, half encoding when it is encoded.
  const bool rip = jobKind_ == job_kind::kRipCd;
  const int readShare = !rip ? 0 : pool_ ? 50 : 100;
  int sum = 0;
  for (int item = 0; item < ItemCount(); ++item) {
    if (settled_[size_t(item)]) {
      sum += 100;
    } else if (const EncodeSlot* slot = pool_ ? pool_->SlotOf(item) : nullptr) {
      sum += readShare + slot->Percent() * (100 - readShare) / 100;
    } else if (rip && item == extractedCount_ && extracting_) {
      sum += extractionPercent_ * readShare / 100;
    } else if (rip && item < extractedCount_) {
      sum += readShare;  // read, waiting for an encoder
    }
  }
  // Never back: between an encode's end and its item settling, the item is in neither count.
  jobPercentShown_ = std::max(jobPercentShown_, sum / ItemCount());
  return jobPercentShown_;
}

void TJobRunner::ShowJobTimes() {
  const qint64 seconds = jobClock_.elapsed() / 1000;
  elapsed_ = DurationText(seconds);
  const int percent = JobPercent();
  estimated_ = percent > 0 ? DurationText(std::max(seconds, seconds * 100 / percent)) : QString();
}

void TJobRunner::StartExtraction(int item) {
  extractionPercent_ = 0;
  SetCaption("Extracting(", item + 1, item);
  SetPhase("RES_Extracting");
  ShowInitializing();
  extractor_->Start(items_[size_t(item)], this);
}

bool TJobRunner::event(QEvent* event) {
  if (event->type() != JobReportEvent::EventType()) return QObject::event(event);
  // Reports that arrive after the job ended (a step stopped mid-way) are dropped.
  if (finished_) return true;
  const JobReport& report = static_cast<JobReportEvent*>(event)->Report();
  if (const auto* progress = std::get_if<StepProgress>(&report)) {
    HandleProgress(*progress);
  } else if (const auto* started = std::get_if<StepStarted>(&report)) {
    if (started->step == JobStep::Normalize) SetCaption("Normalizing(", extractedCount_ + 1, extractedCount_);
  } else {
    HandleExtractionEnded(std::get<StepEnded>(report));
  }
  return true;
}

void TJobRunner::HandleProgress(const StepProgress& progress) {
  // An older item still encoding keeps the gauge.
  extractionPercent_ = std::clamp(progress.percent, 0, 100);
  if (pool_ && pool_->OldestRunningItem() >= 0) return emit Changed();
  elapsed_ = progress.elapsed;
  estimated_ = progress.estimated;
  if (parallel_) ShowJobTimes();
  if (progress.percent > 0) {
    initializingVisible_ = false;
    gaugeTextVisible_ = true;
    gauge_ = std::clamp(progress.percent, 0, 100);
  }
  emit Changed();
}

void TJobRunner::HandleExtractionEnded(const StepEnded& end) {
  const int item = extractedCount_;
  const JobItem& planned = items_[size_t(item)];
  const StepVerdict verdict = JudgeStepEnd(end, {ItemName(item), KeptWavName(planned), true});
  ApplyVerdict(item, verdict);
  if (verdict.endsJob) {
    // Without the drive no further track can be read: the job ends here.
    FinishJob(false);
    CloseJob();
    return;
  }
  const bool extracted = end.outcome == StepOutcome::Done;
  if (extracted) {
    extracted_[size_t(item)] = true;
    checksums_[size_t(item)] = extractor_->Checksums();
    copies_[size_t(item)] = extractor_->Copy();
    if (const QString error = extractor_->NormalizeError(); !error.isEmpty()) heldMessages_[size_t(item)] << error;
  }
  ++extractedCount_;
  const bool encodes = extracted && pool_ && results_[size_t(item)] == JobItemResult::Pending;
  if (encodes) {
    AddToPool(item, planned.wav);
  } else {
    if (extracted && !pool_) {
      // A rip to WAV: the extracted file is the result.
      if (ReplaceFile(planned.wav, planned.output))
        ItemDone(item);
      else
        Fail(item, planned.output + JobText("RES_Operate_Fail"));
    }
    SettleWav(item);
    SettleItem(item);
  }
  // One step at a time: the next track is read once this one's encode has ended.
  if (ExtractsAhead() || !encodes) ExtractNext();
  FollowOldestItem();
  ReportSettledItems();
}

}  // namespace trackmill
