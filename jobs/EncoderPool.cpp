#include "jobs/EncoderPool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include "audio/VorbisOut.h"
#include "audio/WaveIn.h"
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

// One encoder and the encode it runs. The child processes report by events to this object;
// the pipeline outputs by their callbacks.
class PoolSlot : public QObject {
 public:
  PoolSlot(TEncoderPool& pool) : pool_(pool) {
    // The WMA encoder prints no progress: its gauge is the estimate from the growing output.
    wmaTick_.setInterval(1000);
    connect(&wmaTick_, &QTimer::timeout, this, [this] {
      const WmaEstimate estimate = EstimateWma(wmaStart_.elapsed(), true, QFileInfo(encode_.input).size(),
                                               FileSizeBySearch(Partial()), pool_.settings_.WmaSetting);
      if (estimate.hasEstimate) SetPercent(estimate.percent);
    });
  }
  ~PoolSlot() override { Stop(); }

  bool Busy() const { return busy_; }
  int Item() const { return encode_.item; }
  int Percent() const { return percent_; }

  void Start(PoolEncode encode) {
    encode_ = std::move(encode);
    busy_ = true;
    percent_ = 0;
    QFile::remove(Partial());
    try {
      switch (pool_.encoder_) {
        case TEncoderPool::Encoder::Mp3:
        case TEncoderPool::Encoder::Wma: StartProcess(); break;
        case TEncoderPool::Encoder::Ogg:
        case TEncoderPool::Encoder::Flac: StartOutput(); break;
      }
    } catch (const EEncoderError& error) {
      Finish(false, error.Message());
    } catch (const std::exception& error) {
      Finish(false, QString::fromUtf8(error.what()));
    }
  }

  void Stop() {
    if (!busy_) return;
    busy_ = false;
    wmaTick_.stop();
    if (process_ && process_->Running) process_->StopEncoder(0);
    if (output_ && output_->Busy()) output_->Stop(false);
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

  void SetPercent(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    emit pool_.ProgressChanged();
  }

  void StartProcess() {
    if (!process_) {
      if (pool_.encoder_ == TEncoderPool::Encoder::Mp3)
        process_ = std::make_unique<TMp3EncodeProcess>();
      else
        process_ = std::make_unique<TWMAEncodeProcess>();
      connect(process_.get(), &TEncodeProcess::InformationMessage, &pool_,
              [this](const QString& text) { informed_ = text; });
    }
    process_->InputFile = encode_.input;
    process_->OutputFile = Partial();
    process_->NotifyWnd = this;
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
    waveIn_->SetFileName(encode_.input);
    if (!waveIn_->Valid())
      throw EEncoderError(encode_.input +
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
    if (!ok && error.isEmpty()) error = informed_;
    pool_.SlotEnded(*this, ok, error);
  }

  TEncoderPool& pool_;
  PoolEncode encode_;
  bool busy_ = false;
  int percent_ = 0;
  QString informed_;
  TFixedOverwriteAnswer replace_{true};  // the partial file is ours to replace
  std::unique_ptr<TEncodeProcess> process_;
  std::unique_ptr<TWaveIn> waveIn_;
  std::unique_ptr<TAuFileOut> output_;
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
