// The job runner's flow with several encoders at once: the pool, item-ordered reports and
// the caption of the oldest item still running.
#include <QFileInfo>
#include <QThread>
#include <optional>

#include "audio/wav/WaveIn.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "jobs/EncoderPool.h"
#include "jobs/JobPipeline.h"
#include "jobs/JobRunner.h"
#include "jobs/JobTexts.h"
#include "jobs/OverwriteQuestion.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

// The pool's encoder for a job, or nothing when the job runs one step at a time.
std::optional<TEncoderPool::Encoder> PoolEncoder(int jobKind, qint32 outputFormat) {
  switch (jobKind) {
    case job_kind::kRipCd:
      switch (outputFormat) {
        case output_format::kMp3: return TEncoderPool::Encoder::Mp3;
        case output_format::kOgg: return TEncoderPool::Encoder::Ogg;
        case output_format::kWma: return TEncoderPool::Encoder::Wma;
        case output_format::kFlac: return TEncoderPool::Encoder::Flac;
        default: return std::nullopt;
      }
    case job_kind::kWavToMp3: return TEncoderPool::Encoder::Mp3;
    case job_kind::kWavToOgg: return TEncoderPool::Encoder::Ogg;
    case job_kind::kWavToWma: return TEncoderPool::Encoder::Wma;
    case job_kind::kWavToFlac: return TEncoderPool::Encoder::Flac;
    case job_kind::kMp3ToWav: return TEncoderPool::Encoder::Mp3Decode;
    default: return std::nullopt;
  }
}

}  // namespace

int EncoderProcessCount(const TSettings& settings) {
  return settings.EncoderProcesses > 0 ? settings.EncoderProcesses : std::max(1, QThread::idealThreadCount());
}

bool TJobRunner::StartParallel() {
  const TSettings& settings = *settings_;
  const auto encoder = PoolEncoder(jobKind_, settings.OutputFormat);
  const int processes = EncoderProcessCount(settings);
  if (!encoder || processes <= 1) return false;
  const bool isFileJob = jobKind_ != job_kind::kRipCd;
  pool_ = std::make_unique<TEncoderPool>(*encoder, jobKind_, processes, settings);
  connect(pool_.get(), &TEncoderPool::ItemEnded, this, &TJobRunner::PoolItemEnded);
  connect(pool_.get(), &TEncoderPool::ProgressChanged, this, &TJobRunner::FollowOldestItem);
  heldMessages_.assign(ItemCount(), {});
  settled_.assign(ItemCount(), false);

  // Every question before anything starts: the encoders may not ask while others run.
  const bool asks = TEncoderPool::RunsProcess(*encoder);
  for (int item = 0; item < ItemCount() && asks; ++item) {
    const QString output = ResultFile(item);
    if (!QFileInfo::exists(output)) continue;
    const QString question =
        output + LangString("RES_File_Exist");
    if (!overwriteQuestion_ || !overwriteQuestion_->ConfirmOverwrite(output, question))
      SetResult(item, JobItemResult::Declined);
    else if (IsFileInUse(output))
      Fail(item, output + JobText("RES_Operate_Fail"));
  }
  // What the encoders cannot read fails here, as the step-by-step flow finds it.
  if (isFileJob && jobKind_ != job_kind::kWavToWma && jobKind_ != job_kind::kMp3ToWav) {
    TWaveIn probe;
    for (int item = 0; item < ItemCount(); ++item) {
      probe.SetFileName(SourcePath(item));
      if (results_[size_t(item)] == JobItemResult::Pending && !probe.Valid())
        Fail(item, SourcePath(item) + JobText("RES_Not_Wav_File"));
    }
  }
  if (!isFileJob) {
    SetPhase("RES_Extracting");
    SetCaption("Extracting(", 1, 0);
    ShowInitializing();
    StartExtraction(0);
    return true;
  }
  SetPhase(jobKind_ == job_kind::kMp3ToWav ? "RES_Decoding" : "RES_Encoding");
  for (int item = 0; item < ItemCount(); ++item) {
    if (results_[size_t(item)] == JobItemResult::Pending)
      AddToPool(item, SourcePath(item));
    else
      SettleItem(item);
  }
  FollowOldestItem();
  ReportSettledItems();
  return true;
}

void TJobRunner::AddToPool(int item, const QString& input) {
  PoolEncode encode;
  encode.item = item;
  encode.input = input;
  encode.output = ResultFile(item);
  // Disc fields go into Ogg files with the tag setting on, into FLAC files always.
  const bool tagged =
      jobKind_ == job_kind::kRipCd && (settings_->OutputFormat == output_format::kFlac || settings_->UseID3);
  if (tagged) encode.comments = pipeline_->DiscComments(item);
  MeasureGainAhead(item);
  pool_->Add(std::move(encode));
}

void TJobRunner::PoolItemEnded(int item, bool ok, const QString& error) {
  if (finished_ || item < 0 || item >= ItemCount()) return;
  if (ok) {
    SetResult(item, JobItemResult::Done);
    if (jobKind_ == job_kind::kRipCd && settings_->OutputFormat == output_format::kMp3 && settings_->UseID3)
      WriteId3Tag(item);
    TagFinishedFile(item);
  } else {
    Fail(item, error);
  }
  SettleItem(item);
  FollowOldestItem();
  ReportSettledItems();
}

void TJobRunner::SettleItem(int item) {
  if (item >= 0 && item < int(settled_.size())) settled_[size_t(item)] = true;
}

void TJobRunner::ReportSettledItems() {
  while (reportedCount_ < ItemCount() && settled_[size_t(reportedCount_)]) {
    for (const QString& message : heldMessages_[size_t(reportedCount_)]) emit ErrorMessage(message);
    heldMessages_[size_t(reportedCount_)].clear();
    ++reportedCount_;
  }
  const bool extracted = jobKind_ != job_kind::kRipCd || extractedCount_ >= ItemCount();
  if (reportedCount_ >= ItemCount() && extracted && pool_->Idle() && !finished_) {
    FinishJob(false);
    CloseJob();
  }
}

void TJobRunner::ShowPoolPhase(int item) {
  if (pool_->Resampling(item)) {
    SetPhase("RES_WAV_RESAMPLE");
    SetCaption("Resampling(", item + 1, item);
    return;
  }
  const bool decoding = jobKind_ == job_kind::kMp3ToWav;
  SetPhase(decoding ? "RES_Decoding" : "RES_Encoding");
  SetCaption(decoding ? "Decoding(" : "Encoding(", item + 1, item);
}

void TJobRunner::FollowOldestItem() {
  if (finished_) return;
  const int oldest = pool_->OldestRunningItem();
  if (oldest < 0) {
    // The extraction, when one runs, is the oldest item now; its own reports move the gauge.
    if (jobKind_ == job_kind::kRipCd && extractedCount_ < ItemCount() && caption_.startsWith("Encoding(")) {
      SetPhase("RES_Extracting");
      SetCaption("Extracting(", extractedCount_ + 1, extractedCount_);
    }
    return;
  }
  ShowPoolPhase(oldest);
  initializingVisible_ = false;
  gaugeTextVisible_ = true;
  gauge_ = pool_->PercentOf(oldest);
  elapsed_.clear();
  estimated_.clear();
  emit Changed();
}

}  // namespace trackmill
