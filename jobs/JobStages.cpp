// The job runner's encodes (through its encoder pool), the order in which items settle and
// are reported, the caption of the item running, and the end of the job.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <optional>

#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "jobs/DiscTags.h"
#include "jobs/EncoderPool.h"
#include "jobs/JobRunner.h"
#include "jobs/JobPlan.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/OutputTagger.h"
#include "jobs/OverwriteQuestion.h"
#include "jobs/TrackExtractor.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "tags/Id3Tag.h"

namespace trackmill {
namespace {

// A pause before a job of pipeline encodes one at a time ends, as the step-by-step flow always
// had, so the last output file is fully released.
constexpr int kSettleMs = 300;

// The encoder of a job's results; none for a rip to WAV.
std::optional<Encoder> EncoderOf(int jobKind, qint32 outputFormat) {
  switch (jobKind) {
    case job_kind::kRipCd:
      switch (outputFormat) {
        case output_format::kMp3: return Encoder::Mp3;
        case output_format::kOgg: return Encoder::Ogg;
        case output_format::kWma: return Encoder::Wma;
        case output_format::kFlac: return Encoder::Flac;
        default: return std::nullopt;
      }
    case job_kind::kWavToMp3:
    case job_kind::kRecorderWavToMp3: return Encoder::Mp3;
    case job_kind::kWavToOgg: return Encoder::Ogg;
    case job_kind::kWavToWma: return Encoder::Wma;
    case job_kind::kWavToFlac: return Encoder::Flac;
    case job_kind::kMp3ToWav: return Encoder::Mp3Decode;
    default: return std::nullopt;
  }
}

// The group box text while a file job's first item encodes.
const char* FirstItemPhase(int jobKind) {
  switch (jobKind) {
    case job_kind::kWavToOgg: return "RES_WAV_TO_OGG";
    case job_kind::kWavToWma: return "RES_WAV_TO_WMA";
    case job_kind::kWavToFlac: return "RES_WAV_TO_FLAC";
    case job_kind::kMp3ToWav: return "RES_MP3_TO_WAV";
    default: return "RES_WAV_TO_MP3";
  }
}

}  // namespace

int EncoderProcessCount(const TSettings& settings) {
  return settings.EncoderProcesses > 0 ? settings.EncoderProcesses : std::max(1, QThread::idealThreadCount());
}

void TJobRunner::MakeEncoderPool() {
  const auto encoder = EncoderOf(jobKind_, settings_->OutputFormat);
  if (!encoder) return;
  const bool single = style_.oneAtATime || jobKind_ == job_kind::kRecorderWavToMp3;
  const int slotCount = single ? 1 : EncoderProcessCount(*settings_);
  parallel_ = slotCount > 1;
  pausesBeforeClosing_ = !parallel_ && !RunsProcess(*encoder);
  EncodeRules rules;
  rules.jobRunners = !parallel_;
  rules.mp3 = mp3Runner_;
  rules.wma = wmaRunner_;
  pool_ = std::make_unique<TEncoderPool>(*encoder, jobKind_, slotCount, *settings_, rules);
  connect(pool_.get(), &TEncoderPool::ItemEnded, this, &TJobRunner::PoolItemEnded);
  connect(pool_.get(), &TEncoderPool::ProgressChanged, this, &TJobRunner::FollowOldestItem);
  // Several at once: every question before anything starts, since no encode may wait for an
  // answer while others run.
  if (parallel_)
    for (int item = 0; item < ItemCount(); ++item) ClearToWrite(item);
}

bool TJobRunner::Confirmed(const QString& path) {
  if (!QFileInfo::exists(path)) return true;
  const QString question = path + LangString("RES_File_Exist");
  return overwriteQuestion_ && overwriteQuestion_->ConfirmOverwrite(path, question);
}

bool TJobRunner::ClearToWrite(int item) {
  const JobItem& planned = items_[size_t(item)];
  if (!Confirmed(planned.output)) {
    SetResult(item, JobItemResult::Declined);
    return false;
  }
  if (IsFileInUse(planned.output)) {
    Fail(item, planned.output + JobText("RES_Operate_Fail"));
    return false;
  }
  // The file-name pattern may put a track in folders of its own.
  if (const QString folder = QFileInfo(planned.output).path(); !QDir().mkpath(folder)) {
    Fail(item, "Cannot create " + folder);
    return false;
  }
  const bool intermediate = jobKind_ == job_kind::kRipCd && planned.output != KeptWavName(planned);
  keepWav_[size_t(item)] = intermediate && settings_->IsKeepWav && Confirmed(KeptWavName(planned)) &&
                           !IsFileInUse(KeptWavName(planned));
  return true;
}

void TJobRunner::EncodeNextFile() {
  while (nextFileItem_ < ItemCount() && !finished_) {
    const int item = nextFileItem_++;
    if (ClearToWrite(item)) {
      AddToPool(item, items_[size_t(item)].source);
      return;
    }
    SettleItem(item);
  }
}

void TJobRunner::AddToPool(int item, const QString& input) {
  const JobItem& planned = items_[size_t(item)];
  PoolEncode encode;
  encode.item = item;
  encode.name = ItemName(item);
  encode.input = input;
  encode.output = planned.output;
  // The pipeline's encoders and lame read WAVs; a file job's source may be anything.
  encode.checkWav = jobKind_ != job_kind::kRipCd && jobKind_ != job_kind::kMp3ToWav && jobKind_ != job_kind::kWavToWma;
  // Disc fields go into Ogg files with the tag setting on, into FLAC files always.
  const bool tagged =
      jobKind_ == job_kind::kRipCd && (settings_->OutputFormat == output_format::kFlac || settings_->UseID3);
  if (tagged) encode.comments = DiscComments(planned);
  if (!style_.id3v1Only && jobKind_ != job_kind::kMp3ToWav) tagger_->MeasureAhead(planned.output, GainSource(item));
  pool_->Add(std::move(encode));
}

void TJobRunner::PoolItemEnded(int item, const StepVerdict& verdict) {
  if (finished_ || item < 0 || item >= ItemCount()) return;
  if (ApplyVerdict(item, verdict)) ItemDone(item);
  SettleWav(item);
  SettleItem(item);
  if (!parallel_) {
    if (jobKind_ == job_kind::kRipCd)
      ExtractNext();
    else
      EncodeNextFile();
  }
  FollowOldestItem();
  ReportSettledItems();
}

void TJobRunner::ItemDone(int item) {
  SetResult(item, JobItemResult::Done);
  TagFinishedFile(item);
}

void TJobRunner::SettleWav(int item) {
  const JobItem& planned = items_[size_t(item)];
  if (jobKind_ != job_kind::kRipCd || !QFileInfo::exists(planned.wav)) return;
  const QString kept = KeptWavName(planned);
  // A track read whole whose encoding failed keeps its only copy, unless that would replace a
  // file the user did not let go (then it stays under its part name); one the user stopped is
  // an intermediate file like any other.
  const bool failed = results_[size_t(item)] == JobItemResult::Failed;
  const bool keep = extracted_[size_t(item)] && (keepWav_[size_t(item)] || failed);
  if (!keep) {
    QFile::remove(planned.wav);
  } else if (keepWav_[size_t(item)] || !QFileInfo::exists(kept)) {
    ReplaceFile(planned.wav, kept);
  }
}

void TJobRunner::SettleItem(int item) {
  if (item >= 0 && item < int(settled_.size())) settled_[size_t(item)] = true;
}

void TJobRunner::ReportSettledItems() {
  while (reportedCount_ < ItemCount() && settled_[size_t(reportedCount_)]) {
    const int item = reportedCount_++;
    for (const QString& message : heldMessages_[size_t(item)]) emit ErrorMessage(message);
    heldMessages_[size_t(item)].clear();
    emit ItemSettled(item);
  }
  if (reportedCount_ >= ItemCount() && (!pool_ || pool_->Idle()) && !finished_) {
    FinishJob(false);
    if (pausesBeforeClosing_)
      QTimer::singleShot(kSettleMs, this, &TJobRunner::CloseJob);
    else
      CloseJob();
  }
}

void TJobRunner::ShowPoolPhase(int item) {
  if (pool_->SlotOf(item)->Resampling()) {
    SetPhase("RES_WAV_RESAMPLE");
    SetCaption("Resampling(", item + 1, item);
    return;
  }
  const bool decoding = jobKind_ == job_kind::kMp3ToWav;
  const bool first = item == 0 && jobKind_ != job_kind::kRipCd;
  SetPhase(first ? FirstItemPhase(jobKind_) : decoding ? "RES_Decoding" : "RES_Encoding");
  SetCaption(decoding ? "Decoding(" : "Encoding(", item + 1, item);
}

void TJobRunner::FollowOldestItem() {
  if (finished_) return;
  const int oldest = pool_ ? pool_->OldestRunningItem() : -1;
  if (oldest < 0) {
    // The extraction, when one runs, is the oldest item now; its own reports move the gauge.
    if (jobKind_ == job_kind::kRipCd && extractedCount_ < ItemCount() && !extracting_) {
      SetPhase("RES_Extracting");
      SetCaption("Extracting(", extractedCount_ + 1, extractedCount_);
    }
    return;
  }
  ShowPoolPhase(oldest);
  const EncodeSlot& slot = *pool_->SlotOf(oldest);
  gauge_ = slot.Percent();
  if (gauge_ > 0) {
    initializingVisible_ = false;
    gaugeTextVisible_ = true;
  }
  elapsed_ = slot.ElapsedText();
  estimated_ = slot.EstimatedText();
  if (parallel_) ShowJobTimes();
  emit Changed();
}

QString TJobRunner::GainSource(int item) const {
  const JobItem& planned = items_[size_t(item)];
  return jobKind_ == job_kind::kRipCd ? planned.wav : planned.source;
}

void TJobRunner::TagFinishedFile(int item) {
  const JobItem& planned = items_[size_t(item)];
  if (!style_.id3v1Only) {
    // Results that take no full tags (WAV) are passed over by the tagger.
    if (const QString error = tagger_->TagFinishedFile(planned, GainSource(item)); !error.isEmpty()) Fail(item, error);
    return;
  }
  if (jobKind_ != job_kind::kRipCd || settings_->OutputFormat != output_format::kMp3) return;
  const quint16 result = DiscId3v1Tag(planned).WriteTag(planned.output);
  if (!Tid3tag::IsSuccess(result)) Fail(item, QStringLiteral("Error #%1! Could not save Tag!").arg(result));
}

void TJobRunner::FinishJob(bool stopped) {
  if (finished_) return;
  finished_ = true;
  stopped_ = stopped;
  if (extractor_) extractor_->Stop();
  if (pool_) pool_->Stop();
  if (tagger_)
    if (const QString error = tagger_->FinishAlbum(); !error.isEmpty()) emit ErrorMessage(error);
  // The runners outlive the job; its settings do not.
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_), static_cast<TEncodeProcess*>(wmaRunner_)})
    if (runner) runner->CommandSettings = nullptr;
  for (auto& result : results_)
    if (result == JobItemResult::Pending) result = JobItemResult::Stopped;
  for (int item = 0; item < ItemCount(); ++item) SettleWav(item);
}

void TJobRunner::CloseJob() {
  if (closed_) return;
  closed_ = true;
  finished_ = true;
  emit Changed();
  emit Finished();
}

}  // namespace trackmill
