#include "audio/dsp/StereoBalance.h"

#include <algorithm>
#include <cstring>

#include "audio/core/AuException.h"
#include "audio/dsp/BalanceLaw.h"

namespace trackmill {

TStereoBalance::TStereoBalance(QObject* parent)
    : TAuConverter(parent), mono_(kWorkBufferBytes / 2), work_(kWorkBufferBytes) {}
TStereoBalance::~TStereoBalance() = default;

int TStereoBalance::GetChannels() {
  if (!input_) throw EAuException("Input not assigned");
  const int channels = input_->GetChannels();
  return channels == 1 || channels == 2 ? 2 : channels;
}

void TStereoBalance::SetBalance(float balance) {
  if (balance < 0.0f || balance > 1.0f) return;
  balance_ = balance;
}

void TStereoBalance::OpenInput() {
  if (!input_) throw EAuException("Input not assigned");
  input_->Init();
  bits_ = TAuConverter::GetBitsPerSample();
  inChannels_ = input_->GetChannels();
  const qint64 inputSize = input_->Size();
  size_ = (inChannels_ == 1 && inputSize > 0) ? inputSize * 2 : inputSize;
  position_ = 0;
  open_ = true;
}

void TStereoBalance::CloseInput() {
  open_ = false;
  if (input_) input_->Flush();
}

void TStereoBalance::ReadBlock(const char*& data, int& byteCount) {
  if (!open_) throw EAuException("The Stream is not opened");
  if (inChannels_ > 2) {
    input_->GetData(data, byteCount);
    return;
  }
  const int sampleBytes = std::max(bits_ / 8, 1);
  const int frameBytes = 2 * sampleBytes;
  int wanted = std::min(byteCount, kWorkBufferBytes);
  wanted -= wanted % frameBytes;
  if (wanted <= 0) wanted = frameBytes;

  int produced = 0;
  bool endOfInput = false;
  if (inChannels_ == 1) {
    const int got = input_->FillBuffer(mono_.data(), wanted / 2, endOfInput);
    const int sampleCount = got / sampleBytes;
    DuplicateMonoToStereo(reinterpret_cast<const std::uint8_t*>(mono_.data()), std::size_t(sampleCount), bits_,
                          reinterpret_cast<std::uint8_t*>(work_.data()));
    produced = sampleCount * frameBytes;
  } else {
    // Copied so that the balance never writes into another component's buffer.
    const int got = input_->FillBuffer(work_.data(), wanted, endOfInput);
    produced = got - got % frameBytes;
  }
  if (produced <= 0) {
    byteCount = 0;
    return;
  }
  ApplyStereoBalance(reinterpret_cast<std::uint8_t*>(work_.data()), std::size_t(produced / frameBytes), bits_,
                     balance_.load());
  data = work_.data();
  byteCount = produced;
}

}  // namespace trackmill
