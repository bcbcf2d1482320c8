#include "jobs/EncoderPool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include "audio/dsp/FastResampler.h"
#include "audio/codecs/VorbisOut.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "common/FileUtils.h"
#include "common/JobEvents.h"
#include "jobs/EncodeProcess.h"
#include "jobs/JobPipeline.h"
#include "jobs/JobTexts.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OverwriteQuestion.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"

namespace trackmill {
using namespace encoder_result;
namespace {

// The gauge share of resampling in an encode that resamples first: the resampler runs
// six or seven times as fast as either encoder.
constexpr int kResamplePercent = 15;

}  // namespace

// One encoder and the encode it runs, after resampling the input into a file of its own when
// the encoder needs that. The child processes report by events to this object; the pipeline
// outputs by their callbacks.
class PoolSlot : public QObject {
 public:
  PoolSlot(TEncoderPool& pool) : pool_(pool) {
    // The WMA encoder prints no progress: its gauge is the estimate from the growing output.
    wmaTick_.setInterval(1000);
    connect(&wmaTick_, &QTimer::timeout, this, [this] {
      const WmaEstimate estimate = EstimateWma(wmaStart_.elapsed(), true, QFileInfo(encoderInput_).size(),
                                               FileSizeBySearch(Partial()), pool_.settings_.WmaSetting);
      if (estimate.hasEstimate) SetPercent(estimate.percent);
    });
  }
  ~PoolSlot() override { Stop(); }

  bool Busy() const { return busy_; }
  int Item() const { return encode_.item; }
  int Percent() const { return percent_; }
  bool Resampling() const { return busy_ && !resampled_.isEmpty() && encoderInput_ != resampled_; }

  void Start(PoolEncode encode) {
    encode_ = std::move(encode);
    encoderInput_ = encode_.input;
    busy_ = true;
    SetStage(0, 100);
    QFile::remove(Partial());
    Guarded([this] {
      const bool resamples = pool_.encoder_ == TEncoderPool::Encoder::Mp3 || pool_.encoder_ == TEncoderPool::Encoder::Ogg;
      if (resamples && StartResampling()) return;
      StartEncoder();
    });
  }

  void Stop() {
    if (!busy_) return;
    busy_ = false;
    wmaTick_.stop();
    if (resampleOut_ && resampleOut_->Busy()) resampleOut_->Stop(false);
    if (process_ && process_->Running) process_->StopEncoder(0);
    if (output_ && output_->Busy()) output_->Stop(false);
    RemoveResampled();
    QFile::remove(Partial());
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != JobProgressEvent::EventType()) return QObject::event(event);
    const std::unique_ptr<TProcessInfo> info = static_cast<JobProgressEvent*>(event)->TakeInfo();
    if (!busy_ || !info) return true;
    if (!status::IsStatusValue(info->Percent)) {
      SetPercent(info->Percent);
      return true;
    }
    process_->Running = false;
    if (info->ErrorCode == kEnded)
      Finish(true, {});
    else if (info->ErrorCode == kErrorLine)
      Finish(false, info->TimeElapsed);
    else if (info->ErrorCode == kFailed)
      Finish(false, encode_.output + ": " + info->TimeElapsed);
    else
      Finish(false, encode_.output + JobText("RES_Operate_Fail"));
    return true;
  }

 private:
  QString Partial() const { return TEncoderPool::PartialName(encode_.output); }

  // The gauge of the running stage (0..100) maps to [start, start + span) of the encode's.
  void SetStage(int startPercent, int spanPercent) {
    stageStart_ = startPercent;
    stageSpan_ = spanPercent;
    percent_ = startPercent;
  }
  void SetPercent(int stagePercent) {
    percent_ = stageStart_ + std::clamp(stagePercent, 0, 100) * stageSpan_ / 100;
    emit pool_.ProgressChanged();
  }

  // Runs a step that may fail as it starts; a failure ends the encode.
  template <typename Step>
  void Guarded(Step step) {
    try {
      step();
    } catch (const EEncoderError& error) {
      Finish(false, error.Message());
    } catch (const std::exception& error) {
      Finish(false, QString::fromUtf8(error.what()));
    }
  }

  void StartEncoder() {
    if (TEncoderPool::RunsProcess(pool_.encoder_))
      StartProcess();
    else
      StartOutput();
  }

  // Starts resampling a WAV below 44100 Hz into a file of this encode, the encoder's input
  // once done; false when the input needs none.
  bool StartResampling() {
    if (!resampleOut_) {
      resampleIn_ = std::make_unique<TWaveIn>();
      resampler_ = std::make_unique<TFastResampler>();
      resampleOut_ = std::make_unique<TWaveOut>();
      TJobPipeline::SetUpResampling(*resampleIn_, *resampler_, *resampleOut_);
      resampleOut_->SetOnProgress([this](TAuOutput* output) { SetPercent(std::max(0, output->Progress())); });
      resampleOut_->SetOnDone([this](TAuOutput* output) {
        if (!busy_) return;
        if (const QString failure = output->ExceptionMessage(); !failure.isEmpty()) {
          Finish(false, encode_.input + ": " + failure);
          return;
        }
        encoderInput_ = resampled_;
        SetStage(kResamplePercent, 100 - kResamplePercent);
        SetPercent(0);  // the caption moves on to encoding
        Guarded([this] { StartEncoder(); });
      });
    }
    resampleIn_->SetFileName(encode_.input);
    if (!TJobPipeline::NeedsResampling(*resampleIn_)) return false;
    resampled_ = TEncoderPool::ResampledName(encode_.output);
    SetStage(0, kResamplePercent);
    resampleOut_->SetFileName(resampled_);
    resampleOut_->Run();
    return true;
  }

  void RemoveResampled() {
    if (resampled_.isEmpty()) return;
    QFile::remove(resampled_);
    resampled_.clear();
  }

  void StartProcess() {
    if (!process_) {
      if (pool_.encoder_ == TEncoderPool::Encoder::Mp3 || pool_.encoder_ == TEncoderPool::Encoder::Mp3Decode) {
        auto lame = std::make_unique<TMp3EncodeProcess>();
        lame->EncodeMode = pool_.encoder_ == TEncoderPool::Encoder::Mp3;
        process_ = std::move(lame);
      } else {
        process_ = std::make_unique<TWMAEncodeProcess>();
      }
      connect(process_.get(), &TEncodeProcess::InformationMessage, &pool_,
              [this](const QString& text) { informed_ = text; });
    }
    process_->InputFile = encoderInput_;
    process_->OutputFile = Partial();
    process_->ReportTo = this;
    process_->JobKind = pool_.jobKind_;
    process_->OverwriteQuestion = &replace_;
    process_->CommandSettings = &pool_.settings_;
    process_->Running = true;
    if (pool_.encoder_ == TEncoderPool::Encoder::Wma) {
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

  void StartOutput() {
    if (!output_) {
      waveIn_ = std::make_unique<TWaveIn>();
      if (pool_.encoder_ == TEncoderPool::Encoder::Flac) {
        auto flac = std::make_unique<TFlacOut>();
        flac->SetCompressionLevel(pool_.settings_.FlacCompressionLevel);
        output_ = std::move(flac);
      } else {
        output_ = std::make_unique<TVorbisOut>();
      }
      output_->SetInput(waveIn_.get());
      output_->SetOnProgress([this](TAuOutput* output) { SetPercent(std::max(0, output->Progress())); });
      output_->SetOnDone([this](TAuOutput* output) {
        if (!busy_) return;
        const QString failure = output->ExceptionMessage();
        Finish(failure.isEmpty(), failure.isEmpty() ? QString() : encode_.output + ": " + failure);
      });
    }
    waveIn_->SetFileName(encoderInput_);
    if (!waveIn_->Valid())
      throw EEncoderError(encoderInput_ +
                          JobText("RES_Not_Wav_File"));
    output_->SetFileName(Partial());
    if (auto* flac = dynamic_cast<TFlacOut*>(output_.get())) {
      flac->SetComments(encode_.comments);
    } else {
      auto* vorbis = static_cast<TVorbisOut*>(output_.get());
      TJobPipeline::ApplyOggEncoding(*vorbis, pool_.settings_);
      TJobPipeline::SetVorbisComments(vorbis->Comments(), encode_.comments);
    }
    output_->Run();
  }

  // Takes the final name on success; the partial output goes either way.
  void Finish(bool ok, QString error) {
    busy_ = false;
    wmaTick_.stop();
    if (ok) {
      QFile::remove(encode_.output);
      if (!QFile::rename(Partial(), encode_.output)) {
        ok = false;
        error = encode_.output + JobText("RES_Operate_Fail");
      }
    }
    QFile::remove(Partial());
    RemoveResampled();
    if (!ok && error.isEmpty()) error = informed_;
    pool_.SlotEnded(*this, ok, error);
  }

  TEncoderPool& pool_;
  PoolEncode encode_;
  QString encoderInput_;  // the input, or its resampled copy
  QString resampled_;     // the resampled copy while it exists
  bool busy_ = false;
  int percent_ = 0;
  int stageStart_ = 0;
  int stageSpan_ = 100;
  QString informed_;
  TFixedOverwriteAnswer replace_{true};  // the partial file is ours to replace
  std::unique_ptr<TEncodeProcess> process_;
  std::unique_ptr<TWaveIn> waveIn_;
  std::unique_ptr<TAuFileOut> output_;
  // Declared in chain order, so the output goes before what it reads.
  std::unique_ptr<TWaveIn> resampleIn_;
  std::unique_ptr<TFastResampler> resampler_;
  std::unique_ptr<TWaveOut> resampleOut_;
  QElapsedTimer wmaStart_;
  QTimer wmaTick_;
};

TEncoderPool::TEncoderPool(Encoder encoder, int jobKind, int slotCount, const TSettings& settings,
                           QObject* parent)
    : QObject(parent), encoder_(encoder), jobKind_(jobKind), settings_(settings) {
  NormalizeWmaSetting(settings_);
  for (int i = 0; i < std::max(1, slotCount); ++i) slots_.push_back(std::make_unique<PoolSlot>(*this));
}

TEncoderPool::~TEncoderPool() { Stop(); }

QString TEncoderPool::PartialName(const QString& output) {
  const QFileInfo info(output);
  return info.dir().filePath(info.completeBaseName() + ".partial." + info.suffix());
}

QString TEncoderPool::ResampledName(const QString& output) {
  const QFileInfo info(output);
  return info.dir().filePath(info.completeBaseName() + ".partial.44100.wav");
}

void TEncoderPool::Add(PoolEncode encode) {
  queue_.push_back(std::move(encode));
  StartQueued();
}

void TEncoderPool::Stop() {
  queue_.clear();
  for (auto& slot : slots_) slot->Stop();
}

bool TEncoderPool::Idle() const {
  return queue_.empty() &&
         std::none_of(slots_.begin(), slots_.end(), [](const auto& s) { return s->Busy(); });
}

int TEncoderPool::OldestRunningItem() const {
  int oldest = -1;
  for (const auto& slot : slots_)
    if (slot->Busy() && (oldest < 0 || slot->Item() < oldest)) oldest = slot->Item();
  return oldest;
}

int TEncoderPool::PercentOf(int item) const {
  for (const auto& slot : slots_)
    if (slot->Busy() && slot->Item() == item) return slot->Percent();
  return 0;
}

bool TEncoderPool::Resampling(int item) const {
  return std::any_of(slots_.begin(), slots_.end(),
                     [item](const auto& slot) { return slot->Resampling() && slot->Item() == item; });
}

void TEncoderPool::StartQueued() {
  for (auto& slot : slots_) {
    if (queue_.empty()) return;
    if (slot->Busy()) continue;
    PoolEncode next = std::move(queue_.front());
    queue_.pop_front();
    slot->Start(std::move(next));
  }
}

void TEncoderPool::SlotEnded(PoolSlot& slot, bool ok, const QString& error) {
  // Reported from the event loop: an encode that fails as it starts must not report from
  // inside Add().
  QMetaObject::invokeMethod(
      this,
      [this, item = slot.Item(), ok, error] {
        emit ItemEnded(item, ok, error);
        StartQueued();
      },
      Qt::QueuedConnection);
}

}  // namespace trackmill
