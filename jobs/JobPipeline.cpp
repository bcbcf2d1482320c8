#include "jobs/JobPipeline.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "audio/dsp/FastResampler.h"
#include "audio/codecs/FlacOut.h"
#include "audio/codecs/VorbisBitRate.h"
#include "audio/codecs/VorbisOut.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
#include "common/TextForms.h"
#include "jobs/DiscTags.h"
#include "jobs/EncodeProcess.h"
#include "jobs/JobRunner.h"
#include "jobs/JobTexts.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

constexpr int kCdSampleRate = 44100;
// A pause before the next step, so the finished output file is fully released.
constexpr int kSettleMs = 300;

// The Vorbis bit rate of an Ogg list position (0 automatic).
TVorbisBitRate OggBitRateOfPosition(int position) {
  const int kbps = OggBitRateKbps(position);
  if (kbps <= 0) return TVorbisBitRate::brAutoSelect;
  for (int at = 1; at <= static_cast<int>(TVorbisBitRate::bitrate499); ++at)
    if (VorbisBitRateValue(VorbisBitRateAt(at)) == kbps * 1000) return VorbisBitRateAt(at);
  return TVorbisBitRate::brAutoSelect;
}

}  // namespace

TJobPipeline::TJobPipeline(TJobRunner& runner)
    : runner_(runner),
      sourceWav_(std::make_unique<TWaveIn>()),
      resampler_(std::make_unique<TFastResampler>()),
      wavOutput_(std::make_unique<TWaveOut>()),
      oggOutput_(std::make_unique<TVorbisOut>()),
      flacOutput_(std::make_unique<TFlacOut>()) {
  SetUpResampling(*sourceWav_, *resampler_, *wavOutput_);
  SetUpEncoders(*sourceWav_, *oggOutput_, *flacOutput_);

  auto progress = [this](TAuOutput* output) { PostOutputProgress(output); };
  wavOutput_->SetOnProgress(progress);
  oggOutput_->SetOnProgress(progress);
  flacOutput_->SetOnProgress(progress);
  wavOutput_->SetOnDone([this](TAuOutput* output) { SendJobReport(&runner_, EndOf(JobStep::Resample, *output)); });
  oggOutput_->SetOnDone([this](TAuOutput* output) { PostJobReport(&runner_, EndOf(JobStep::EncodeOgg, *output)); });
  flacOutput_->SetOnDone([this](TAuOutput* output) { PostJobReport(&runner_, EndOf(JobStep::EncodeFlac, *output)); });
}

TJobPipeline::~TJobPipeline() {
  StopRunning();
  // Outputs go before the converters and the input they read.
  flacOutput_.reset();
  oggOutput_.reset();
  wavOutput_.reset();
}

void TJobPipeline::SetUpResampling(TWaveIn& in, TFastResampler& resampler, TWaveOut& out) {
  resampler.SetInput(&in);
  resampler.SetOutSampleRate(kCdSampleRate);
  out.SetInput(&resampler);
  out.SetWavType(TWavType::wtPCM);
  out.SetBlockSize(512);
  out.SetCreateNonMsHeaders(true);
  out.SetFileMode(TFileOutputMode::foRewrite);
}

bool TJobPipeline::NeedsResampling(TWaveIn& in) { return in.Valid() && in.GetSampleRate() < kCdSampleRate; }

void TJobPipeline::SetUpEncoders(TWaveIn& in, TVorbisOut& vorbis, TFlacOut& flac) {
  vorbis.SetInput(&in);
  vorbis.SetCompression(0.2f);
  vorbis.SetFileMode(TFileOutputMode::foRewrite);
  vorbis.SetSerial(0);
  flac.SetInput(&in);
}

float TJobPipeline::OggQuality(const TSettings& settings) {
  return settings.IsUseCompress ? (settings.CompressPosition - 10) / 100.0f : 0.2f;
}

QString TJobPipeline::TemporaryFile() const {
  const char* name = runner_.jobKind_ == job_kind::kWavToMp3 ? TJobRunner::kMp3ResampleTemp
                                                             : TJobRunner::kOggResampleTemp;
  return runner_.OutputFolder() + QString::fromLatin1(name);
}

void TJobPipeline::PostOutputProgress(TAuOutput* output) {
  const JobStep step = output == wavOutput_.get()    ? JobStep::Resample
                       : output == flacOutput_.get() ? JobStep::EncodeFlac
                                                     : JobStep::EncodeOgg;
  PostJobReport(&runner_, stepStart_.MakeForPercent(step, std::max(0, output->Progress())));
}

void TJobPipeline::StartFileItem(int item) {
  const int kind = runner_.jobKind_;
  const QString path = runner_.SourcePath(item);
  sourceWav_->SetFileName(path);
  if (!sourceWav_->Valid()) {
    runner_.SetCaption("Encoding(", item + 1, item);
    runner_.SkipItem(FileItemEndStep(), path + JobText("RES_Not_Wav_File"));
    return;
  }
  // FLAC keeps any sample rate; the other encoders get 44100 Hz at least.
  if (kind == job_kind::kWavToFlac) {
    runner_.SetPhase(item == 0 ? "RES_WAV_TO_FLAC" : "RES_Encoding");
    runner_.SetCaption("Encoding(", item + 1, item);
    StartFlacEncode(path, runner_.ResultFile(item), item);
    return;
  }
  if (NeedsResampling(*sourceWav_)) {
    runner_.SetCaption("Resampling(", item + 1, item);
    StartResampling(item);
    return;
  }
  if (item == 0)
    runner_.SetPhase(kind == job_kind::kWavToMp3 ? "RES_WAV_TO_MP3" : "RES_WAV_TO_OGG");
  else
    runner_.SetPhase("RES_Encoding");
  runner_.SetCaption("Encoding(", item + 1, item);
  if (kind == job_kind::kWavToMp3)
    runner_.StartMp3(path, runner_.ResultFile(item), true, item);
  else
    StartOggEncode(path, runner_.ResultFile(item), item);
}

void TJobPipeline::StartResampling(int item) {
  wavOutput_->SetFileName(TemporaryFile());
  runner_.SetPhase("RES_WAV_RESAMPLE");
  RunStep(*wavOutput_, FileItemEndStep());
}

void TJobPipeline::StartOggEncode(const QString& wav, const QString& ogg, int item) {
  sourceWav_->SetFileName(wav);
  oggOutput_->SetFileName(ogg);
  ApplyOggSettings(item);
  runner_.MeasureGainAhead(item);
  RunStep(*oggOutput_, JobStep::EncodeOgg);
}

void TJobPipeline::StartFlacEncode(const QString& wav, const QString& flac, int item) {
  sourceWav_->SetFileName(wav);
  flacOutput_->SetFileName(flac);
  flacOutput_->SetCompressionLevel(runner_.JobSettings().FlacCompressionLevel);
  // A lossless rip keeps what is known of the disc whatever the tag settings for MP3 say.
  flacOutput_->SetComments(runner_.jobKind_ == job_kind::kRipCd ? DiscComments(item) : FlacComments{});
  runner_.MeasureGainAhead(item);
  RunStep(*flacOutput_, JobStep::EncodeFlac);
}

JobStep TJobPipeline::FileItemEndStep() const {
  switch (runner_.jobKind_) {
    case job_kind::kWavToMp3: return JobStep::EncodeMp3;
    case job_kind::kWavToFlac: return JobStep::EncodeFlac;
    default: return JobStep::EncodeOgg;
  }
}

StepEnded TJobPipeline::EndOf(JobStep step, const TAuOutput& output) {
  const QString failure = output.ExceptionMessage();
  return {step, failure.isEmpty() ? StepOutcome::Done : StepOutcome::Failed, failure};
}

void TJobPipeline::RunStep(TAuOutput& output, JobStep endStep) {
  stepStart_.Restart();
  try {
    output.Run();
  } catch (const std::exception& error) {
    runner_.SkipItem(endStep, QString::fromUtf8(error.what()));
  }
}

FlacComments TJobPipeline::DiscComments(int item) const {
  return trackmill::DiscComments(runner_.Items()[size_t(item)]);
}

void TJobPipeline::ApplyOggEncoding(TVorbisOut& out, const TSettings& settings) {
  out.SetCompression(OggQuality(settings));
  if (settings.IsUseCompress) {
    out.SetDesiredNominalBitrate(TVorbisBitRate::brAutoSelect);
    out.SetMinimumBitrate(TVorbisBitRate::brAutoSelect);
  } else {
    // The nominal rate first: the other two are taken only relative to it.
    out.SetDesiredNominalBitrate(OggBitRateOfPosition(settings.OggNominalBitRate));
    out.SetDesiredMaximumBitrate(OggBitRateOfPosition(settings.OggMaxBitRate));
    out.SetMinimumBitrate(OggBitRateOfPosition(settings.OggMinBitRate));
  }
}

void TJobPipeline::SetVorbisComments(TVorbisTags& tags, const FlacComments& comments) {
  tags.Clear();
  // Names outside the container's set (TRACKTOTAL) are left out.
  for (const auto& [name, value] : comments)
    tags.SetValue(QString::fromUtf8(name).toLower(), TagValue::Wide(QString::fromUtf8(value)));
}

void TJobPipeline::ApplyOggSettings(int item) {
  ApplyOggEncoding(*oggOutput_, runner_.JobSettings());
  // The disc fields describe a CD being ripped, not an arbitrary file being converted.
  const bool tagged = runner_.jobKind_ == job_kind::kRipCd && runner_.JobSettings().UseID3;
  SetVorbisComments(oggOutput_->Comments(), tagged ? DiscComments(item) : FlacComments{});
}

void TJobPipeline::HandleEncodeEnded(const StepEnded& end) {
  // The runner is the timer's context: a job destroyed meanwhile cancels it, and one stopped
  // meanwhile has finished already.
  QTimer::singleShot(kSettleMs, &runner_, [this, end] {
    if (!runner_.finished_) ContinueAfterEncode(end);
  });
}

void TJobPipeline::ContinueAfterEncode(const StepEnded& end) {
  // oggCount_ counts the items whose pipeline encode (Ogg or FLAC) ended.
  const int item = runner_.oggCount_;
  if (runner_.ApplyVerdict(item, JudgeStepEnd(end, runner_.ContextOf(item)))) runner_.TagFinishedFile(item);
  runner_.progressSeen_ = false;
  ++runner_.oggCount_;
  if (runner_.oggCount_ >= runner_.ItemCount()) {
    runner_.FinishJob(false);
    QTimer::singleShot(kSettleMs, &runner_, [this] { runner_.CloseJob(); });
    return;
  }
  if (runner_.jobKind_ == job_kind::kRipCd)
    runner_.StartNextExtraction();
  else
    StartFileItem(runner_.oggCount_);
}

void TJobPipeline::HandleResampleEnded(const StepEnded& end) {
  const int kind = runner_.jobKind_;
  const int item = kind == job_kind::kWavToMp3 ? runner_.encodedCount_ : runner_.oggCount_;
  if (end.outcome != StepOutcome::Done) {
    // The item's encode cannot run; it ends as a skip with the resampling's failure.
    runner_.SkipItem(FileItemEndStep(), runner_.SourcePath(item) + ": " + end.error);
    return;
  }
  runner_.SetCaption("Encoding(", item + 1, item);
  runner_.SetPhase("RES_Encoding");
  if (kind == job_kind::kWavToMp3)
    runner_.StartMp3(TemporaryFile(), runner_.ResultFile(item), true, item);
  else
    StartOggEncode(TemporaryFile(), runner_.ResultFile(item), item);
}

void TJobPipeline::StopRunning() {
  if (oggOutput_->Busy()) {
    oggOutput_->Pause();
    oggOutput_->Stop(false);
  }
  if (flacOutput_->Busy()) flacOutput_->Stop(false);
  if (wavOutput_->Busy()) wavOutput_->Stop(false);
}

void TJobPipeline::RemoveTemporaryFile() {
  if (runner_.jobKind_ == job_kind::kWavToMp3 || runner_.jobKind_ == job_kind::kWavToOgg)
    QFile::remove(TemporaryFile());
}

}  // namespace trackmill
