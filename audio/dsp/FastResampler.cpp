#include "audio/dsp/FastResampler.h"

#include <algorithm>
#include <cmath>

#include "audio/core/AuException.h"
#include "audio/dsp/BlockResampler.h"

namespace trackmill {

TFastResampler::TFastResampler(QObject* parent) : TAuConverter(parent) {}
TFastResampler::~TFastResampler() = default;

int TFastResampler::GetBitsPerSample() {
  if (!input_) throw EAuException("Input is not assigned");
  return TAuConverter::GetBitsPerSample();
}

int TFastResampler::GetChannels() {
  if (!input_) throw EAuException("Input is not assigned");
  return TAuConverter::GetChannels();
}

int TFastResampler::GetSampleRate() {
  if (!input_) throw EAuException("Input is not assigned");
  return static_cast<int>(outSampleRate_.load());
}

void TFastResampler::OpenInput() {
  if (!input_) throw EAuException("Input is not assigned");
  input_->Init();
  const int bits = input_->GetBitsPerSample();
  const int channels = input_->GetChannels();
  const int inRate = input_->GetSampleRate();
  const quint32 outRate = outSampleRate_.load();
  if (inRate <= 0 || !BlockResampler::IsSupported(static_cast<quint32>(inRate), outRate, channels, bits)) {
    input_->Flush();
    throw EAuException("The resampler cannot convert this format");
  }
  engine_ = std::make_unique<BlockResampler>(static_cast<quint32>(inRate), outRate, channels, bits);
  position_ = 0;
  bufferRead_ = 0;
  bufferEnd_ = 0;

  const qint64 inputSize = input_->Size();
  if (inputSize > 0) {
    const double scaled = std::round(double(inputSize) * double(engine_->OutputStepBytes()) /
                                     double(engine_->InputStepBytes()));
    // Whole frames only: a cut frame at the end would shift every channel of a later append.
    const qint64 frameBytes = static_cast<qint64>(engine_->FrameBytes());
    const qint64 size = static_cast<qint64>(scaled);
    size_ = size - size % frameBytes;
  } else {
    size_ = inputSize;
  }

  passThrough_ = engine_->PassesThrough();
  if (passThrough_) {
    engine_.reset();
  } else {
    inBlock_.resize(engine_->InputStepBytes());
    outBlock_.resize(engine_->MaxOutputBytes());
  }
  open_ = true;
}

void TFastResampler::CloseInput() {
  open_ = false;
  engine_.reset();
  inBlock_ = {};
  outBlock_ = {};
  if (input_) input_->Flush();
}

void TFastResampler::ReadBlock(const char*& data, int& byteCount) {
  if (!open_) throw EAuException("The Stream is not opened");
  if (passThrough_) {
    input_->GetData(data, byteCount);
    return;
  }
  if (bufferRead_ >= bufferEnd_) {
    bool endOfInput = false;
    const int got = input_->FillBuffer(inBlock_.data(), static_cast<int>(inBlock_.size()), endOfInput);
    bufferRead_ = 0;
    bufferEnd_ = 0;
    if (got > 0) {
      bufferEnd_ = static_cast<int>(engine_->Process(reinterpret_cast<const std::uint8_t*>(inBlock_.data()),
                                                     static_cast<std::size_t>(got),
                                                     reinterpret_cast<std::uint8_t*>(outBlock_.data())));
    }
    if (bufferEnd_ == 0) {
      byteCount = 0;
      return;
    }
  }
  byteCount = std::min(byteCount, bufferEnd_ - bufferRead_);
  data = outBlock_.data() + bufferRead_;
  bufferRead_ += byteCount;
}

}  // namespace trackmill
