// The step-end reports of the job runner (extraction, MP3 and WMA encodes), the WMA time
// estimate, the ID3 tag after an MP3 of a CD track, and the end of the job.
#include <QFile>
#include <QFileInfo>

#include "cd/CDRipThread.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
#include "common/TextForms.h"
#include "jobs/EncoderPool.h"
#include "jobs/JobPipeline.h"
#include "jobs/JobRunner.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OutputTagger.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"
#include "settings/Settings.h"

namespace trackmill {

void TJobRunner::HandleExtractionEnded(const StepEnded& end) {
  if (jobKind_ != job_kind::kRipCd) return;
  const int item = extractedCount_;
  const StepVerdict verdict = JudgeStepEnd(end, ContextOf(item, TrackWav(item)));
  ApplyVerdict(item, verdict);
  if (verdict.endsJob) {
    // Without the drive no further track can be read: the job ends here.
    FinishJob(false);
    CloseJob();
    return;
  }
  const bool extracted = end.outcome == StepOutcome::Done;
  if (extracted && ripThread_) {
    checksums_[size_t(item)] = ripThread_->Checksums();
    if (!ripThread_->NormalizeError().isEmpty()) {
      if (pool_) heldMessages_[size_t(item)] << ripThread_->NormalizeError();
      else emit ErrorMessage(ripThread_->NormalizeError());
    }
  }
  ++extractedCount_;
  if (pool_) {
    if (extracted && results_[size_t(item)] == JobItemResult::Pending)
      AddToPool(item, TrackWav(item));
    else
      SettleItem(item);
    if (extractedCount_ < ItemCount()) StartNextExtraction();
    FollowOldestItem();
    ReportSettledItems();
    return;
  }

  const int format = settings_->OutputFormat;
  if (format == output_format::kWav) {
    if (extracted) SetResult(item, JobItemResult::Done);
    if (extractedCount_ >= ItemCount()) {
      FinishJob(false);
      CloseJob();
    } else {
      StartNextExtraction();
    }
    return;
  }

  const JobStep encode = format == output_format::kMp3    ? JobStep::EncodeMp3
                         : format == output_format::kOgg  ? JobStep::EncodeOgg
                         : format == output_format::kFlac ? JobStep::EncodeFlac
                                                          : JobStep::EncodeWma;
  if (!extracted) {
    // The encode is skipped (the failure was told); its end is reported as usual so the job goes on.
    SkipItem(encode, {});
    return;
  }
  SetCaption("Encoding(", extractedCount_, item);
  SetPhase("RES_Encoding");
  const QString wav = TrackWav(item);
  if (format == output_format::kMp3) {
    StartMp3(wav, ResultFile(item), true, item);
  } else if (format == output_format::kOgg) {
    pipeline_->StartOggEncode(wav, ResultFile(item), item);
  } else if (format == output_format::kFlac) {
    pipeline_->StartFlacEncode(wav, ResultFile(item), item);
  } else {
    ripThread_.reset();
    StartWma(wav, ResultFile(item), item);
  }
}

bool TJobRunner::MoveToNextItem() {
  progressSeen_ = false;
  ++encodedCount_;
  if (encodedCount_ < ItemCount()) return true;
  FinishJob(false);
  CloseJob();
  return false;
}

void TJobRunner::HandleMp3Ended(const StepEnded& end) {
  const int item = encodedCount_;
  if (ApplyVerdict(item, JudgeStepEnd(end, ContextOf(item)))) {
    TagFinishedFile(item);
  }

  if (!MoveToNextItem()) return;
  switch (jobKind_) {
    case job_kind::kRipCd: StartNextExtraction(); break;
    case job_kind::kWavToMp3: pipeline_->StartFileItem(encodedCount_); break;
    case job_kind::kMp3ToWav: StartFileItem(encodedCount_); break;
    default: break;
  }
}

void TJobRunner::HandleWmaEnded(const StepEnded& end) {
  wmaEstimateTimer_.stop();
  const int item = encodedCount_;
  if (ApplyVerdict(item, JudgeStepEnd(end, ContextOf(item)))) TagFinishedFile(item);

  if (!MoveToNextItem()) return;
  if (jobKind_ == job_kind::kRipCd) {
    StartNextExtraction();
  } else if (jobKind_ == job_kind::kWavToWma) {
    estimated_.clear();
    StartFileItem(encodedCount_);
  }
}

void TJobRunner::WmaTimerTick() {
  const bool running = wmaRunner_ && wmaRunner_->Running;
  const WmaEstimate estimate =
      EstimateWma(wmaStart_.elapsed(), running, wmaInputSize_, FileSizeBySearch(wmaOutput_),
                  settings_->WmaSetting);
  elapsed_ = estimate.elapsedText;
  if (running) initializingVisible_ = false;
  if (estimate.hasEstimate) {
    estimated_ = estimate.estimatedText;
    gaugeTextVisible_ = true;
    // The gauge never goes back while the guess changes.
    gauge_ = std::max(gauge_, std::min(estimate.percent, 100));
  }
  emit Changed();
}

QString TJobRunner::GainSource(int item) const {
  return jobKind_ == job_kind::kRipCd ? TrackWav(item) : SourcePath(item);
}

void TJobRunner::MeasureGainAhead(int item) { tagger_->MeasureAhead(ResultFile(item), GainSource(item)); }

void TJobRunner::TagFinishedFile(int item) {
  // Results that take no full tags (WAV) are passed over by the tagger.
  const QString error = tagger_->TagFinishedFile(items_[size_t(item)], GainSource(item));
  if (!error.isEmpty()) Fail(item, error);
}

void TJobRunner::FinishJob(bool stopped) {
  if (finished_) return;
  finished_ = true;
  wmaEstimateTimer_.stop();
  if (ripThread_) {
    ripThread_->Stopped = true;
    ripThread_.reset();
  }
  pipeline_->StopRunning();
  if (const QString error = tagger_->FinishAlbum(); !error.isEmpty()) emit ErrorMessage(error);
  if (pool_) pool_->Stop();
  if (mp3Runner_ && mp3Runner_->Running) mp3Runner_->StopEncoder(0);
  if (wmaRunner_ && wmaRunner_->Running) wmaRunner_->StopEncoder(0);
  // The runners outlive the job; its settings do not.
  if (mp3Runner_) mp3Runner_->CommandSettings = nullptr;
  if (wmaRunner_) wmaRunner_->CommandSettings = nullptr;
  for (auto& result : results_)
    if (result == JobItemResult::Pending) result = JobItemResult::Stopped;
  // The extracted WAVs are intermediate files once every track is extracted; the WAV of a
  // track whose encode failed is kept, since it is then the only copy of the track.
  if (jobKind_ == job_kind::kRipCd && extractedCount_ >= ItemCount() &&
      settings_->OutputFormat != output_format::kWav && !settings_->IsKeepWav) {
    for (int item = 0; item < ItemCount(); ++item)
      if (results_[item] == JobItemResult::Done) QFile::remove(TrackWav(item));
  }
  pipeline_->RemoveTemporaryFile();
  Q_UNUSED(stopped);
}

void TJobRunner::CloseJob() {
  if (closed_) return;
  closed_ = true;
  finished_ = true;
  emit Changed();
  emit Finished();
}

}  // namespace trackmill
