#include "audio/core/AuStreamedInput.h"

#include <QMutexLocker>

namespace trackmill {

TAuStreamedInput::TAuStreamedInput(QObject* parent) : TAuInput(parent) { seekable_ = true; }
TAuStreamedInput::~TAuStreamedInput() = default;

void TAuStreamedInput::SetStream(QIODevice* stream) {
  QMutexLocker lock(&dataLock_);
  ownedStream_.reset();
  stream_ = stream;
  streamSupplied_ = stream != nullptr;
}

void TAuStreamedInput::GetData(const char*& data, int& byteCount) {
  QMutexLocker lock(&dataLock_);
  if (ServePrebuffer(data, byteCount)) return;
  if (endOfStream_) {
    byteCount = 0;
    return;
  }
  const int wanted = byteCount;
  ReadBlock(data, byteCount);
  CountDelivered(byteCount);
  if (!endOfStream_ || !loop_) return;

  endOfStream_ = false;
  if (seekable_) {
    SeekTo(startSample_);
  } else {
    // Re-opening resets the run range, which a loop must keep.
    const qint64 start = startSample_;
    const qint64 end = endSample_;
    Flush();
    startSample_ = start;
    endSample_ = end;
    Init();
  }
  position_ = 0;
  if (byteCount > 0) return;  // the tail of this pass goes out first; the next call restarts
  byteCount = wanted;
  ReadBlock(data, byteCount);
  CountDelivered(byteCount);
}

}  // namespace trackmill
