#include "audio/core/AuInput.h"

#include <QMutexLocker>

#include <algorithm>
#include <cstring>

#include "audio/core/AuException.h"

namespace trackmill {

TAuInput::TAuInput(QObject* parent) : QObject(parent) {}
TAuInput::~TAuInput() = default;

qint64 TAuInput::GetTotalSeconds() { return 0; }
qint64 TAuInput::GetTotalFrames() { return 0; }
void TAuInput::SetFullBitsFlag(bool fullBits) { fullBits_ = fullBits; }
void TAuInput::PauseInput() {}
void TAuInput::ResumeInput() {}

bool TAuInput::EndOfStream() const {
  QMutexLocker lock(&dataLock_);
  return endOfStream_;
}

void TAuInput::Init() {
  QMutexLocker lock(&dataLock_);
  endOfStream_ = false;
  try {
    OpenInput();
  } catch (const std::exception& e) {
    endOfStream_ = true;
    throw EAuException(e.what());
  }
}

void TAuInput::Flush() {
  QMutexLocker lock(&dataLock_);
  ClearPrebuffer();
  CloseInput();
}

void TAuInput::Reset() {
  QMutexLocker lock(&dataLock_);
  try {
    CloseInput();
  } catch (const std::exception&) {
    // Reset is the quiet way out: a failing close must not stop the caller.
  }
  busy_ = false;
}

void TAuInput::ClearPrebuffer() {
  prebufferFill_ = 0;
  prebufferRead_ = 0;
}

void TAuInput::CountDelivered(int& byteCount) {
  if (byteCount <= 0) {
    byteCount = 0;
    endOfStream_ = true;
    return;
  }
  position_ += byteCount;
  const qint64 size = size_;
  if (size > 0 && position_ >= size) {
    endOfStream_ = true;
    if (position_ > size) {
      byteCount -= static_cast<int>(position_ - size);
      position_ = size;
    }
  }
}

bool TAuInput::ServePrebuffer(const char*& data, int& byteCount) {
  if (prebufferFill_ <= 0) return false;
  const int count = std::min(byteCount, prebufferFill_ - prebufferRead_);
  data = prebuffer_.constData() + prebufferRead_;
  byteCount = std::max(count, 0);
  prebufferRead_ += byteCount;
  position_ += byteCount;
  // The bytes handed out stay valid until the next call: the array is only reused by a later
  // FillPrebuffer(), never freed here.
  if (prebufferRead_ >= prebufferFill_) ClearPrebuffer();
  return true;
}

void TAuInput::GetData(const char*& data, int& byteCount) {
  QMutexLocker lock(&dataLock_);
  if (ServePrebuffer(data, byteCount)) return;
  ReadBlock(data, byteCount);
}

int TAuInput::CopyData(char* buffer, int byteCount) {
  const char* data = nullptr;
  int count = byteCount;
  GetData(data, count);
  if (count > 0) std::memcpy(buffer, data, static_cast<size_t>(count));
  return std::max(count, 0);
}

int TAuInput::FillBuffer(char* buffer, int byteCount, bool& endOfInput) {
  endOfInput = false;
  int copied = 0;
  while (copied < byteCount) {
    const int count = CopyData(buffer + copied, byteCount - copied);
    if (count == 0) {
      endOfInput = true;
      break;
    }
    copied += count;
  }
  return copied;
}

void TAuInput::FillPrebuffer(int byteCount) {
  QMutexLocker lock(&dataLock_);
  if (byteCount <= 0) return;
  int unread = 0;
  if (prebufferFill_ > 0) {
    unread = prebufferFill_ - prebufferRead_;
    std::memmove(prebuffer_.data(), prebuffer_.constData() + prebufferRead_, static_cast<size_t>(unread));
  }
  if (prebuffer_.size() < byteCount) prebuffer_.resize(byteCount);
  // Position counts bytes handed out, so read-ahead counts only when served. Some inputs count
  // inside ReadBlock() and others around it (in GetData()): restoring the position serves both.
  const qint64 delivered = position_;
  // Nothing beyond Size is read ahead, as GetData() hands out nothing beyond it.
  const qint64 size = size_;
  int limit = byteCount;
  if (size > 0) limit = int(std::min<qint64>(limit, std::max<qint64>(size - delivered, unread)));
  int filled = unread;
  while (filled < limit) {
    const char* data = nullptr;
    int count = limit - filled;
    ReadBlock(data, count);
    if (count <= 0) break;
    count = std::min(count, limit - filled);
    std::memcpy(prebuffer_.data() + filled, data, static_cast<size_t>(count));
    filled += count;
  }
  prebufferFill_ = filled;
  prebufferRead_ = 0;
  position_ = delivered;
}

void TAuInput::InjectSilence() {
  QMutexLocker lock(&dataLock_);
  prebuffer_.fill('\0');
  prebufferFill_ = static_cast<int>(prebuffer_.size());
  prebufferRead_ = 0;
}

}  // namespace trackmill
