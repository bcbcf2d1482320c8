#include "jobs/EncodeSlot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "audio/codecs/VorbisOut.h"
#include "audio/dsp/FastResampler.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "common/FileUtils.h"
#include "common/JobReports.h"
#include "jobs/EncodeProcess.h"
#include "jobs/JobPlan.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OverwriteQuestion.h"
#include "jobs/PipelineSetup.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"

namespace trackmill {
namespace {

// The gauge share of resampling in an encode that resamples first: the resampler runs
// six or seven times as fast as either encoder.
constexpr int kResamplePercent = 15;

StepVerdict Failure(const QString& message) { return {JobItemResult::Failed, message, false}; }

}  // namespace

bool RunsProcess(Encoder encoder) {
  return encoder == Encoder::Mp3 || encoder == Encoder::Mp3Decode || encoder == Encoder::Wma;
}

EncodeSlot::EncodeSlot(SlotSetup setup)
    : setup_(setup), replacePartial_(std::make_unique<TFixedOverwriteAnswer>(true)) {
  // The WMA encoder prints no progress: its gauge is the estimate from the growing output.
  wmaTick_.setInterval(1000);
  connect(&wmaTick_, &QTimer::timeout, this, &EncodeSlot::WmaTick);
}

EncodeSlot::~EncodeSlot() { Stop(); }

void EncodeSlot::Start(PoolEncode encode) {
  encode_ = std::move(encode);
  encoderInput_ = encode_.input;
  partial_ = PartFileName(encode_.output);
  busy_ = true;
  elapsed_.clear();
  estimated_.clear();
  informed_.clear();
  SetStage(0, 100);
  emit ProgressChanged();  // the caption follows the item that starts
  Guarded([this] {
    if (!QFileInfo::exists(encode_.input)) throw EEncoderError(encode_.input + ": no such file");
    if (encode_.checkWav) {
      TWaveIn probe;
      probe.SetFileName(encode_.input);
      if (!probe.Valid()) throw EEncoderError(encode_.input + JobText("RES_Not_Wav_File"));
    }
    const bool resamples = setup_.encoder == Encoder::Mp3 || setup_.encoder == Encoder::Ogg;
    if (resamples && StartResampling()) return;
    StartEncoder();
  });
}

void EncodeSlot::Stop() {
  if (!busy_) return;
  busy_ = false;
  wmaTick_.stop();
  if (resampleOut_ && resampleOut_->Busy()) resampleOut_->Stop(false);
  if (process_ && process_->Running) process_->StopEncoder(0);
  if (output_ && output_->Busy()) {
    output_->Pause();
    output_->Stop(false);
  }
  RemoveResampled();
  QFile::remove(partial_);
}

bool EncodeSlot::event(QEvent* event) {
  if (event->type() != JobReportEvent::EventType()) return QObject::event(event);
  if (!busy_) return true;
  const JobReport& report = static_cast<JobReportEvent*>(event)->Report();
  if (const auto* progress = std::get_if<StepProgress>(&report)) {
    progressSeen_ = true;
    elapsed_ = progress->elapsed;
    estimated_ = progress->estimated;
    SetPercent(progress->percent);
  } else if (const auto* end = std::get_if<StepEnded>(&report)) {
    process_->Running = false;
    FinishAsJudged(*end, encode_.output);
  }
  return true;
}

// The gauge of the running stage (0..100) maps to [start, start + span) of the encode's.
void EncodeSlot::SetStage(int startPercent, int spanPercent) {
  stageStart_ = startPercent;
  stageSpan_ = spanPercent;
  percent_ = startPercent;
}

void EncodeSlot::SetPercent(int stagePercent) {
  percent_ = stageStart_ + std::clamp(stagePercent, 0, 100) * stageSpan_ / 100;
  emit ProgressChanged();
}

// Runs a step that may fail as it starts; a failure ends the encode.
template <typename Step>
void EncodeSlot::Guarded(Step step) {
  try {
    step();
  } catch (const EEncoderError& error) {
    Finish(Failure(error.Message()));
  } catch (const std::exception& error) {
    Finish(Failure(QString::fromUtf8(error.what())));
  }
}

void EncodeSlot::StartEncoder() {
  if (RunsProcess(setup_.encoder))
    StartProcess();
  else
    StartOutput();
}

// Starts resampling a WAV below 44100 Hz into a file of this encode, the encoder's input
// once done; false when the input needs none.
bool EncodeSlot::StartResampling() {
  if (!resampleOut_) {
    resampleIn_ = std::make_unique<TWaveIn>();
    resampler_ = std::make_unique<TFastResampler>();
    resampleOut_ = std::make_unique<TWaveOut>();
    SetUpResampling(*resampleIn_, *resampler_, *resampleOut_);
    resampleOut_->SetOnProgress([this](TAuOutput* output) { SetPercent(std::max(0, output->Progress())); });
    resampleOut_->SetOnDone([this](TAuOutput* output) {
      if (!busy_) return;
      if (const StepEnded end = EndOf(JobStep::Resample, *output); end.outcome != StepOutcome::Done) {
        // The encode cannot run; it ends with the resampling's failure.
        Finish(Failure(encode_.input + ": " + end.error));
        return;
      }
      encoderInput_ = resampled_;
      SetStage(kResamplePercent, 100 - kResamplePercent);
      SetPercent(0);  // the caption moves on to encoding
      Guarded([this] { StartEncoder(); });
    });
  }
  {
    // A probe of its own: the file is closed again before the encoder or anyone else opens it.
    TWaveIn probe;
    probe.SetFileName(encode_.input);
    if (!NeedsResampling(probe) && !(setup_.encoder == Encoder::Mp3 && IsFloatWav(probe))) return false;
    resampler_->SetOutSampleRate(ResampledRate(probe));
  }
  resampleIn_->SetFileName(encode_.input);
  const QFileInfo output(encode_.output);
  resampled_ = PartFileName(output.dir().filePath(output.completeBaseName() + ".wav"));
  SetStage(0, kResamplePercent);
  resampleOut_->SetFileName(resampled_);
  resampleOut_->Run();
  return true;
}

void EncodeSlot::RemoveResampled() {
  if (resampled_.isEmpty()) return;
  QFile::remove(resampled_);
  resampled_.clear();
}

TEncodeProcess* EncodeSlot::Process() {
  const bool mp3 = setup_.encoder == Encoder::Mp3 || setup_.encoder == Encoder::Mp3Decode;
  if (setup_.rules.jobRunners) {
    if (mp3 && !setup_.rules.mp3) throw EEncoderError(JobText("RES_NoMp3Runner"));
    if (!mp3 && !setup_.rules.wma) throw EEncoderError(JobText("RES_NoWmaEncoder"));
    return mp3 ? static_cast<TEncodeProcess*>(setup_.rules.mp3) : setup_.rules.wma;
  }
  if (!ownProcess_) {
    if (mp3)
      ownProcess_ = std::make_unique<TMp3EncodeProcess>();
    else
      ownProcess_ = std::make_unique<TWMAEncodeProcess>();
    connect(ownProcess_.get(), &TEncodeProcess::InformationMessage, this,
            [this](const QString& text) { informed_ = text; });
  }
  return ownProcess_.get();
}

void EncodeSlot::StartProcess() {
  process_ = Process();
  if (auto* lame = dynamic_cast<TMp3EncodeProcess*>(process_)) lame->EncodeMode = setup_.encoder == Encoder::Mp3;
  process_->InputFile = encoderInput_;
  process_->OutputFile = partial_;
  process_->ReportTo = this;
  process_->JobKind = setup_.jobKind;
  process_->OverwriteQuestion = replacePartial_.get();
  process_->CommandSettings = &setup_.settings;
  process_->Running = true;
  progressSeen_ = false;
  if (setup_.encoder == Encoder::Wma) {
    wmaStart_.start();
    wmaTick_.start();
  }
  try {
    process_->StartEncoder();
  } catch (...) {
    process_->Running = false;
    throw;
  }
}

void EncodeSlot::StartOutput() {
  if (!output_) {
    waveIn_ = std::make_unique<TWaveIn>();
    if (setup_.encoder == Encoder::Flac) {
      auto flac = std::make_unique<TFlacOut>();
      flac->SetCompressionLevel(setup_.settings.FlacCompressionLevel);
      output_ = std::move(flac);
    } else {
      auto vorbis = std::make_unique<TVorbisOut>();
      vorbis->SetFileMode(TFileOutputMode::foRewrite);
      vorbis->SetSerial(0);
      output_ = std::move(vorbis);
    }
    output_->SetInput(waveIn_.get());
    output_->SetOnProgress([this](TAuOutput* output) { SetPercent(std::max(0, output->Progress())); });
    output_->SetOnDone([this](TAuOutput* output) {
      if (!busy_) return;
      const JobStep step = setup_.encoder == Encoder::Flac ? JobStep::EncodeFlac : JobStep::EncodeOgg;
      FinishAsJudged(EndOf(step, *output), encode_.output);
    });
  }
  waveIn_->SetFileName(encoderInput_);
  if (!waveIn_->Valid()) throw EEncoderError(encoderInput_ + JobText("RES_Not_Wav_File"));
  output_->SetFileName(partial_);
  if (auto* flac = dynamic_cast<TFlacOut*>(output_.get())) {
    flac->SetComments(encode_.comments);
  } else {
    auto* vorbis = static_cast<TVorbisOut*>(output_.get());
    ApplyOggEncoding(*vorbis, setup_.settings);
    SetVorbisComments(vorbis->Comments(), encode_.comments);
  }
  output_->Run();
}

void EncodeSlot::WmaTick() {
  const WmaEstimate estimate = EstimateWma(wmaStart_.elapsed(), true, FileSizeBySearch(encode_.input),
                                           FileSizeBySearch(partial_), setup_.settings.WmaSetting);
  elapsed_ = estimate.elapsedText;
  if (!estimate.hasEstimate) return emit ProgressChanged();
  estimated_ = estimate.estimatedText;
  // The gauge never goes back while the guess changes.
  SetPercent(std::max(percent_, estimate.percent));
}

void EncodeSlot::FinishAsJudged(const StepEnded& end, const QString& output) {
  Finish(JudgeStepEnd(end, {encode_.name, output, progressSeen_}));
}

// Takes the final name on success; the part file goes either way.
void EncodeSlot::Finish(StepVerdict verdict) {
  busy_ = false;
  wmaTick_.stop();
  if (verdict.result == JobItemResult::Done) {
    if (QFileInfo(partial_).size() <= 0)
      verdict = Failure(encode_.output + ": " + JobText("RES_Encoder_NoOutput"));
    else if (!ReplaceFile(partial_, encode_.output))
      verdict = Failure(encode_.output + JobText("RES_Operate_Fail"));
  }
  QFile::remove(partial_);
  RemoveResampled();
  if (verdict.result == JobItemResult::Failed && verdict.message.isEmpty()) verdict.message = informed_;
  // Reported from the event loop: an encode that fails as it starts must not report from
  // inside Start().
  QMetaObject::invokeMethod(
      this, [this, item = encode_.item, verdict] { emit Ended(item, verdict); }, Qt::QueuedConnection);
}

}  // namespace trackmill
