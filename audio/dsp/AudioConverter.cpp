#include "audio/dsp/AudioConverter.h"

#include <algorithm>
#include <cmath>

#include "audio/core/AuException.h"
#include "audio/dsp/SampleFormat.h"

namespace trackmill {

namespace {
bool IsMonoOrStereo(int channels) { return channels == 1 || channels == 2; }
}  // namespace

TAudioConverter::TAudioConverter(QObject* parent) : TAuConverter(parent) {}
TAudioConverter::~TAudioConverter() = default;

int TAudioConverter::GetBitsPerSample() {
  if (!input_) return 0;
  const int bits = outBitsPerSample_.load();
  return bits != 0 ? bits : TAuConverter::GetBitsPerSample();
}

int TAudioConverter::GetChannels() {
  if (!input_) return 0;
  const int inChannels = input_->GetChannels();
  const int channels = outChannels_.load();
  return IsMonoOrStereo(channels) && IsMonoOrStereo(inChannels) ? channels : inChannels;
}

int TAudioConverter::GetSampleRate() { return input_ ? input_->GetSampleRate() : 0; }

void TAudioConverter::OpenInput() {
  if (!input_) throw EAuException("Input is not assigned");
  input_->Init();
  inBits_ = TAuConverter::GetBitsPerSample();
  inChannels_ = input_->GetChannels();
  runOutBits_ = GetBitsPerSample();
  runOutChannels_ = GetChannels();
  passThrough_ = outBitsPerSample_.load() == 0 && outChannels_.load() == 0;
  if (!passThrough_ && (!samples::IsSupportedWidth(inBits_) || !samples::IsSupportedWidth(runOutBits_) ||
                        inChannels_ <= 0)) {
    input_->Flush();
    throw EAuException("Unsupported sample format");
  }
  position_ = 0;
  const qint64 inputSize = input_->Size();
  if (inputSize < 0) {
    size_ = -1;
  } else {
    const qint64 outProduct = qint64(runOutBits_) * runOutChannels_;
    const qint64 inProduct = qint64(inBits_) * inChannels_;
    const qint64 s = inProduct > 0 ? std::llround(double(inputSize) * double(outProduct) / double(inProduct)) : 0;
    const qint64 unit = std::max<qint64>(outProduct / 8, 1);
    size_ = s - s % unit;
  }
  open_ = true;
}

void TAudioConverter::CloseInput() {
  open_ = false;
  inBuffer_ = {};
  floats_ = {};
  outBuffer_ = {};
  if (input_) input_->Flush();
}

void TAudioConverter::ReadBlock(const char*& data, int& byteCount) {
  if (!open_ || !input_) {
    byteCount = 0;
    return;
  }
  if (passThrough_) {
    input_->GetData(data, byteCount);
    return;
  }
  const int inSampleBytes = inBits_ / 8;
  const int outSampleBytes = runOutBits_ / 8;
  const int inFrameBytes = inSampleBytes * inChannels_;
  const int outFrameBytes = outSampleBytes * runOutChannels_;
  const int framesWanted = std::max(byteCount / outSampleBytes / runOutChannels_, 1);

  const std::size_t inBytesWanted = std::size_t(framesWanted) * std::size_t(inFrameBytes);
  if (inBuffer_.size() < inBytesWanted) inBuffer_.resize(inBytesWanted);
  bool endOfInput = false;
  // Whole frames only: a reader may hand out a block that ends inside a frame.
  const int got = input_->FillBuffer(inBuffer_.data(), static_cast<int>(inBytesWanted), endOfInput);
  const int frames = got / inFrameBytes;
  if (frames <= 0) {
    byteCount = 0;
    return;
  }

  const std::size_t maxChannels = std::size_t(std::max(inChannels_, runOutChannels_));
  if (floats_.size() < std::size_t(frames) * maxChannels) floats_.resize(std::size_t(frames) * maxChannels);
  const std::size_t outBytes = std::size_t(frames) * std::size_t(outFrameBytes);
  if (outBuffer_.size() < outBytes) outBuffer_.resize(outBytes);

  float* f = floats_.data();
  samples::ToFloats(reinterpret_cast<const std::uint8_t*>(inBuffer_.data()), inBits_,
                    std::size_t(frames) * std::size_t(inChannels_), f);
  if (inChannels_ == 1 && runOutChannels_ == 2) {
    for (int i = frames - 1; i >= 0; --i) {
      f[2 * i + 1] = f[i];
      f[2 * i] = f[i];
    }
  } else if (inChannels_ == 2 && runOutChannels_ == 1) {
    for (int i = 0; i < frames; ++i) f[i] = (f[2 * i] + f[2 * i + 1]) / 2.0f;
  }
  samples::FromFloats(f, std::size_t(frames) * std::size_t(runOutChannels_), runOutBits_,
                      reinterpret_cast<std::uint8_t*>(outBuffer_.data()));
  data = outBuffer_.data();
  byteCount = static_cast<int>(outBytes);
}

}  // namespace trackmill
