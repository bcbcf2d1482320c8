#include "audio/core/AuConverter.h"

#include <QMutexLocker>

namespace trackmill {

TAuConverter::TAuConverter(QObject* parent) : TAuInput(parent) {}
TAuConverter::~TAuConverter() = default;

int TAuConverter::GetBitsPerSample() {
  if (!input_) return 0;
  const int bits = input_->GetBitsPerSample();
  return fullBits_ ? bits : (bits & ~0x80);
}

int TAuConverter::GetChannels() { return input_ ? input_->GetChannels() : 0; }
int TAuConverter::GetSampleRate() { return input_ ? input_->GetSampleRate() : 0; }

void TAuConverter::PauseInput() {
  if (input_) input_->PauseInput();
}

void TAuConverter::ResumeInput() {
  if (input_) input_->ResumeInput();
}

void TAuConverter::SetInput(TAuInput* input) {
  if (input == this) return;
  QMutexLocker lock(&dataLock_);
  if (busy_) {
    if (input_) input_->Flush();
    if (input) input->Init();
  }
  input_ = input;
}

void TAuConverter::FollowInputPosition() {
  QMutexLocker lock(&dataLock_);
  if (!input_) return;
  const qint64 inputSize = input_->Size();
  const qint64 size = size_.load();
  if (inputSize <= 0 || size <= 0) return;
  ClearPrebuffer();
  position_ = qint64(double(input_->Position()) / double(inputSize) * double(size));
  if (position_.load() < size) endOfStream_ = false;
}

void TAuConverter::GetData(const char*& data, int& byteCount) {
  QMutexLocker lock(&dataLock_);
  if (ServePrebuffer(data, byteCount)) return;
  if (endOfStream_) {
    byteCount = 0;
    return;
  }
  ReadBlock(data, byteCount);
  CountDelivered(byteCount);
}

}  // namespace trackmill
