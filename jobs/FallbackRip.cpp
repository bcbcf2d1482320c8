#include "jobs/FallbackRip.h"

#include <QFile>
#include <QFileInfo>

#include "audio/codecs/FlacOut.h"
#include "audio/codecs/VorbisOut.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "cd/CDIn.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
#include "common/TextForms.h"
#include "jobs/DiscTags.h"
#include "jobs/JobPipeline.h"
#include "jobs/JobPlan.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/StepVerdict.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"
#include "settings/Settings.h"
#include "tags/Id3Tag.h"

namespace trackmill {
namespace {

// A pause after an encode, so the encoder has let go of the files before they are deleted.
constexpr int kSettleMs = 300;

}  // namespace

TFallbackRip::TFallbackRip(TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
                           TWMAEncodeProcess* wmaRunner, QObject* parent)
    : QObject(parent),
      cdIn_(cdIn),
      items_(items),
      mp3Runner_(mp3Runner),
      wmaRunner_(wmaRunner),
      settings_(std::make_unique<TSettings>(Settings())),
      format_(settings_->OutputFormat),
      sourceWav_(std::make_unique<TWaveIn>()),
      wavOutput_(std::make_unique<TWaveOut>()),
      oggOutput_(std::make_unique<TVorbisOut>()),
      flacOutput_(std::make_unique<TFlacOut>()) {
  if (!output_format::IsKnown(format_)) format_ = output_format::kMp3;
  settings_->OutputFormat = format_;
  PlanOutputs(items_, job_kind::kRipCd, *settings_);
  wavOutput_->SetInput(&cdIn_);
  wavOutput_->SetWavType(TWavType::wtPCM);
  wavOutput_->SetBlockSize(512);
  wavOutput_->SetCreateNonMsHeaders(false);
  wavOutput_->SetFileMode(TFileOutputMode::foRewrite);
  TJobPipeline::SetUpEncoders(*sourceWav_, *oggOutput_, *flacOutput_);

  auto progress = [this](TAuOutput* output) {
    PostJobReport(this, StepProgress{JobStep::Extract, std::max(0, output->Progress()), {}, {}});
  };
  wavOutput_->SetOnProgress(progress);
  oggOutput_->SetOnProgress(progress);
  flacOutput_->SetOnProgress(progress);
  wavOutput_->SetOnThreadException([this](TAuOutput* output) { extractionFailure_ = output->ExceptionMessage(); });
  wavOutput_->SetOnDone([this](TAuOutput*) { PostJobReport(this, StepEnded{JobStep::Extract, StepOutcome::Done, {}}); });
  oggOutput_->SetOnDone([this](TAuOutput* output) { PostJobReport(this, TJobPipeline::EndOf(JobStep::EncodeOgg, *output)); });
  flacOutput_->SetOnDone([this](TAuOutput* output) { PostJobReport(this, TJobPipeline::EndOf(JobStep::EncodeFlac, *output)); });

  wmaEstimateTimer_.setInterval(1000);
  connect(&wmaEstimateTimer_, &QTimer::timeout, this, &TFallbackRip::WmaTick);
  if (wmaRunner_) connect(wmaRunner_, &TEncodeProcess::InformationMessage, this, &TFallbackRip::InformationMessage);

  cdIn_.Reset();
  cdIn_.LockTray = true;
  progressHint_ = QStringLiteral("Extracting...");
  gaugeHint_ = QStringLiteral("Initializing...");
  if (!items_.empty()) currentTrack_ = Title(0);
}

TFallbackRip::~TFallbackRip() {
  StopRunners();
  for (TAuOutput* output : {static_cast<TAuOutput*>(wavOutput_.get()), static_cast<TAuOutput*>(oggOutput_.get()),
                            static_cast<TAuOutput*>(flacOutput_.get())})
    output->Stop(false);
  cdIn_.LockTray = false;
}

QString TFallbackRip::OutputFormatName() const { return trackmill::OutputFormatName(format_); }

QString TFallbackRip::Title(int item) const { return item >= 0 && item < SelectedCount() ? items_[size_t(item)].title : QString(); }

int TFallbackRip::Track(int item) const { return item >= 0 && item < SelectedCount() ? items_[size_t(item)].track : 0; }

QString TFallbackRip::TrackWav(int item) const { return item >= 0 && item < SelectedCount() ? items_[size_t(item)].wav : QString(); }

QString TFallbackRip::Output(int item) const { return item >= 0 && item < SelectedCount() ? items_[size_t(item)].output : QString(); }

void TFallbackRip::Start() {
  if (started_) return;
  started_ = true;
  if (items_.empty()) return Finish();
  StartTrack(0);
}

void TFallbackRip::StartTrack(int item) {
  progressHint_ = QStringLiteral("Extracting...");
  gaugeHint_ = QStringLiteral("Initializing...");
  gauge_ = 0;
  currentTrack_ = Title(item);
  completed_ = item;
  extractionFailure_.clear();
  emit Changed();
  const int track = Track(item);
  current_ = wavOutput_.get();
  wavOutput_->SetFileName(TrackWav(item));
  try {
    cdIn_.SetStartTrack(track);
    cdIn_.SetEndTrack(track);
    wavOutput_->Run();
  } catch (const std::exception& error) {
    extractionFailure_ = QString::fromUtf8(error.what());
    PostJobReport(this, StepEnded{JobStep::Extract, StepOutcome::Failed, extractionFailure_});
  }
}

bool TFallbackRip::event(QEvent* event) {
  if (event->type() != JobReportEvent::EventType()) return QObject::event(event);
  // Reports of a step stopped mid-way arrive after the end and are dropped.
  if (finished_) return true;
  const JobReport& report = static_cast<JobReportEvent*>(event)->Report();
  if (const auto* progress = std::get_if<StepProgress>(&report)) {
    progressSeen_ = true;
    SetProgress(progress->percent);
  } else if (const auto* end = std::get_if<StepEnded>(&report)) {
    if (end->step == JobStep::Extract)
      ExtractionEnded(extractionFailure_.isEmpty() && !wavOutput_->Stopped());
    else
      EncodeEnded(*end);
  }
  return true;
}

void TFallbackRip::SetProgress(int percent) {
  if (percent < 1) return;
  gauge_ = std::min(percent, 100);
  emit Changed();
}

void TFallbackRip::ExtractionEnded(bool ok) {
  const int item = extracted_++;
  if (!ok) {
    // Nothing worth encoding was read; what was written stays for the user to look at.
    Fail(item, extractionFailure_.isEmpty() ? QStringLiteral("the track could not be read") : extractionFailure_);
    return NextOrFinish();
  }
  if (format_ == output_format::kWav) return NextOrFinish();
  StartEncode(item);
}

void TFallbackRip::StartEncode(int item) {
  progressSeen_ = false;
  progressHint_ = QStringLiteral("Encoding...");
  gaugeHint_ = progressHint_;
  gauge_ = 0;
  emit Changed();
  const QString wav = TrackWav(item);
  const QString output = Output(item);
  sourceWav_->SetFileName(wav);
  const FlacComments discComments = DiscComments(items_[size_t(item)]);
  switch (format_) {
    case output_format::kMp3:
      if (mp3Runner_) mp3Runner_->EncodeMode = true;
      return LaunchRunner(mp3Runner_, output, JobStep::EncodeMp3);
    case output_format::kWma:
      wmaStart_.start();
      wmaInputSize_ = FileSizeBySearch(wav);
      wmaOutput_ = output;
      wmaEstimateTimer_.start();
      return LaunchRunner(wmaRunner_, wmaOutput_, JobStep::EncodeWma);
    case output_format::kOgg:
      oggOutput_->SetFileName(output);
      TJobPipeline::ApplyOggEncoding(*oggOutput_, *settings_);
      TJobPipeline::SetVorbisComments(oggOutput_->Comments(), settings_->UseID3 ? discComments : FlacComments{});
      return StartPipelineEncode(*oggOutput_, JobStep::EncodeOgg);
    default:
      flacOutput_->SetFileName(output);
      flacOutput_->SetCompressionLevel(settings_->FlacCompressionLevel);
      // A lossless rip keeps what is known of the disc whatever the tag settings for MP3 say.
      flacOutput_->SetComments(discComments);
      return StartPipelineEncode(*flacOutput_, JobStep::EncodeFlac);
  }
}

void TFallbackRip::PostSkipped(JobStep step, const QString& reason) {
  PostJobReport(this, StepEnded{step, StepOutcome::Skipped, reason});
}

void TFallbackRip::LaunchRunner(TEncodeProcess* runner, const QString& output, JobStep step) {
  if (!runner) return PostSkipped(step, QStringLiteral("no encoder"));
  runner->Running = true;
  runner->InputFile = sourceWav_->FileName();
  runner->OutputFile = output;
  runner->ReportTo = this;
  runner->JobKind = job_kind::kRipCd;
  runner->OverwriteQuestion = nullptr;
  runner->CommandSettings = settings_.get();
  try {
    runner->StartEncoder();
  } catch (const EEncoderError& error) {
    runner->Running = false;
    PostSkipped(step, error.Message());
  }
}

void TFallbackRip::StartPipelineEncode(TAuOutput& output, JobStep step) {
  current_ = &output;
  try {
    output.Run();
  } catch (const std::exception& error) {
    PostSkipped(step, QString::fromUtf8(error.what()));
  }
}

void TFallbackRip::EncodeEnded(const StepEnded& end) {
  wmaEstimateTimer_.stop();
  const int item = extracted_ - 1;
  const StepVerdict verdict = JudgeStepEnd(end, {Title(item), Output(item), progressSeen_});
  const bool ok = verdict.result == JobItemResult::Done;
  QString failure = verdict.message;
  if (!ok && failure.isEmpty())
    failure = end.outcome == StepOutcome::InUse ? QStringLiteral("the output file is in use")
                                                : QStringLiteral("the encoder did not finish");
  QTimer::singleShot(kSettleMs, this, [this, ok, failure] {
    if (!finished_) AfterEncode(ok, failure);
  });
}

void TFallbackRip::AfterEncode(bool ok, const QString& failure) {
  const int item = extracted_ - 1;
  if (!ok) {
    Fail(item, failure);
  } else {
    if (!settings_->IsKeepWav) {
      const QString wav = sourceWav_->FileName();
      if (QFileInfo::exists(wav) && !IsFileInUse(wav)) QFile::remove(wav);
    }
    if (format_ == output_format::kMp3) {
      const QString mp3 = Output(item);
      const quint16 result = DiscId3v1Tag(items_[size_t(item)]).WriteTag(mp3);
      if (!Tid3tag::IsSuccess(result)) Fail(item, QStringLiteral("Error #%1! Could not save Tag!").arg(result));
    }
  }
  NextOrFinish();
}

void TFallbackRip::NextOrFinish() {
  if (extracted_ < SelectedCount()) return StartTrack(extracted_);
  completed_ = extracted_;
  emit Changed();
  Finish();
}

void TFallbackRip::Fail(int item, const QString& what) { errors_ << Title(item) + ": " + what; }

void TFallbackRip::Stop() {
  if (finished_) return;
  if (current_ && current_->Busy()) {
    current_->Pause();
    current_->Stop(false);
  }
  StopRunners();
  Finish();
}

void TFallbackRip::StopRunners() {
  wmaEstimateTimer_.stop();
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_), static_cast<TEncodeProcess*>(wmaRunner_)}) {
    if (!runner || runner->ReportTo != this) continue;
    if (runner->Running) runner->StopEncoder(0);
    runner->ReportTo = nullptr;
    runner->CommandSettings = nullptr;
  }
}

void TFallbackRip::Finish() {
  finished_ = true;
  StopRunners();
  QTimer::singleShot(kSettleMs, this, &TFallbackRip::Finished);
}

void TFallbackRip::WmaTick() {
  const bool running = wmaRunner_ && wmaRunner_->Running;
  const WmaEstimate estimate = EstimateWma(wmaStart_.elapsed(), running, wmaInputSize_,
                                           FileSizeBySearch(wmaOutput_), settings_->WmaSetting);
  if (!estimate.hasEstimate) return;
  // The gauge never goes back while the guess changes.
  gauge_ = std::max(gauge_, std::min(estimate.percent, 100));
  emit Changed();
}

}  // namespace trackmill
