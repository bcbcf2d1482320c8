#include "audio/core/AuFileIn.h"

#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/core/AuConverter.h"
#include "audio/core/AuException.h"

namespace trackmill {

TAuFileIn::TAuFileIn(QObject* parent) : TAuStreamedInput(parent) {}
TAuFileIn::~TAuFileIn() = default;

QString TAuFileIn::FileName() const {
  QMutexLocker lock(&openLock_);
  return fileName_;
}

void TAuFileIn::SetFileName(const QString& fileName) {
  QMutexLocker lock(&openLock_);
  if (openCount_ > 0) CloseFile();
  fileName_ = fileName;
}

int TAuFileIn::GetBitsPerSample() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  return valid_ ? bitsPerSample_ : 8;
}

int TAuFileIn::GetChannels() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  return valid_ ? channels_ : 1;
}

int TAuFileIn::GetSampleRate() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  return valid_ ? sampleRate_ : 8000;
}

qint64 TAuFileIn::GetTotalSeconds() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  const qint64 bytesPerSecond = qint64(sampleRate_) * channels_ * (bitsPerSample_ / 8);
  if (!valid_ || bytesPerSecond <= 0) return 0;
  return std::llround(double(size_) / double(bytesPerSecond));
}

qint64 TAuFileIn::GetTotalFrames() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  const int frameBytes = channels_ * bitsPerSample_ / 8;
  totalFrames_ = (valid_ && size_ > 0 && frameBytes > 0) ? size_ / frameBytes : -1;
  return totalFrames_;
}

void TAuFileIn::OpenInput() {
  QMutexLocker lock(&openLock_);
  if (busy_) throw EAuException("The component is Busy");
  if (!streamSupplied_ && fileName_.isEmpty()) throw EAuException("The file name is not assigned");
  busy_ = true;
  position_ = 0;
  OpenFile();
  frameBytes_ = channels_ * bitsPerSample_ / 8;
  if (!valid_ || frameBytes_ <= 0 || sampleRate_ <= 0) {
    valid_ = false;
    frameBytes_ = 8;
    sampleRate_ = 8000;
    bitsPerSample_ = 8;
    channels_ = 1;
    totalFrames_ = 0;
    size_ = 0;
    totalSeconds_ = 0;
  } else {
    totalFrames_ = size_ / frameBytes_;
    totalSeconds_ = totalFrames_ / sampleRate_;
    if (startSample_ > 0) {
      Seek(0);
      position_ = 0;
    }
    if (startSample_ > 0 || endSample_ != -1) {
      // EndSample is the last frame of the range (inclusive); beyond the file means "to the end".
      qint64 last = endSample_;
      if (last < 0 || last >= totalFrames_) {
        endSample_ = -1;
        last = totalFrames_ - 1;
      }
      totalFrames_ = std::max<qint64>(last - startSample_ + 1, 0);
      size_ = totalFrames_ * frameBytes_;
    }
  }
  bufferRead_ = 0;
  bufferEnd_ = 0;
}

void TAuFileIn::CloseInput() {
  QMutexLocker lock(&openLock_);
  CloseFile();
  startSample_ = 0;
  endSample_ = -1;
  busy_ = false;
}

void TAuFileIn::Reset() {
  TAuStreamedInput::Reset();
  QMutexLocker lock(&openLock_);
  openCount_ = 0;
}

bool TAuFileIn::Valid() {
  QMutexLocker lock(&openLock_);
  try {
    OpenFile();
  } catch (const EAuException&) {
    valid_ = false;
  }
  if (!valid_ && !busy_) CloseFile();
  return valid_;
}

bool TAuFileIn::Seek(qint64 frame) {
  QMutexLocker lock(&dataLock_);
  if (!seekable_ || frame < 0) return false;
  if (totalFrames_ != 0 && totalFrames_ < frame) return false;
  if (busy_) {
    ClearPrebuffer();
    bool ok = false;
    try {
      ok = SeekTo(frame + startSample_);
    } catch (const std::exception&) {
      ok = false;
    }
    position_ = frame * frameBytes_;
    if (ok) endOfStream_ = false;
    return ok;
  }
  startSample_ = frame;
  position_ = frame * std::max(frameBytes_, 0);
  endSample_ = -1;
  return true;
}

bool TAuFileIn::Jump(int offsetPermille) {
  QMutexLocker lock(&dataLock_);
  const qint64 size = size_;
  if (!seekable_ || size == 0) return false;
  double fraction = double(position_) / double(size) + offsetPermille / 1000.0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  return Seek(std::llround(double(totalFrames_) * fraction));
}

TAuTaggedFileIn::TAuTaggedFileIn(QObject* parent)
    : TAuFileIn(parent),
      commonTags_(std::make_unique<TCommonTags>()) {}

TAuTaggedFileIn::~TAuTaggedFileIn() = default;

bool JumpThroughChain(TAuInput* input, int offsetPermille) {
  // Bounded by the chain's length; SetInput() refuses only the direct self-reference.
  std::vector<TAuConverter*> converters;
  for (int depth = 0; input != nullptr && depth < 64; ++depth) {
    if (auto* file = qobject_cast<TAuFileIn*>(input)) {
      if (!file->Jump(offsetPermille)) return false;
      for (auto it = converters.rbegin(); it != converters.rend(); ++it) (*it)->FollowInputPosition();
      return true;
    }
    auto* converter = qobject_cast<TAuConverter*>(input);
    if (converter) converters.push_back(converter);
    input = converter ? converter->Input() : nullptr;
  }
  return false;
}

}  // namespace trackmill
