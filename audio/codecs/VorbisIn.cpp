#include "audio/codecs/VorbisIn.h"

#include <QMutexLocker>

#include <algorithm>

#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"
#include "audio/codecs/VorbisDecoder.h"
#include "audio/codecs/VorbisLibraries.h"
#include "tags/CommonTags.h"
#include "tags/VorbisComments.h"

namespace trackmill {

TVorbisIn::TVorbisIn(QObject* parent) : TAuTaggedFileIn(parent), buffer_(kDecodeBufferBytes) {}

TVorbisIn::~TVorbisIn() {
  QMutexLocker lock(&openLock_);
  CloseFile();
}

const TVorbisTags& TVorbisIn::Comments() {
  QMutexLocker lock(&openLock_);
  try {
    OpenFile();
  } catch (const EAuException&) {
    // A file that cannot be read has no comments; the container stays cleared.
  }
  return comments_;
}

void TVorbisIn::OpenFile() {
  QMutexLocker lock(&openLock_);
  if (openCount_ > 0) return;
  EnsureVorbisLibraries();
  valid_ = true;
  if (!streamSupplied_) {
    try {
      ownedStream_ = std::make_unique<TAuFileStream>(fileName_, quint16(kAuOpenRead | kAuShareDenyWrite));
    } catch (const EAuException&) {
      valid_ = false;
      throw EAuException("Failed to open stream");
    }
    stream_ = ownedStream_.get();
  }
  seekable_ = stream_ != nullptr && !stream_->isSequential();
  try {
    if (stream_ == nullptr) throw EAuException("Failed to open stream");
    decoder_ = std::make_unique<VorbisDecoder>(stream_, seekable_);
  } catch (const EAuException&) {
    valid_ = false;
    ReleaseStream();
    throw;
  }
  comments_.Clear();
  ReadVorbisComments(decoder_->Comments(), comments_);
  CopyVorbisToCommon(comments_, CommonTags());
  channels_ = decoder_->Channels();
  sampleRate_ = static_cast<int>(decoder_->SampleRate());
  bitsPerSample_ = 16;
  bitRateUpper_ = decoder_->BitRateUpper();
  bitRateNominal_ = decoder_->BitRateNominal();
  bitRateLower_ = decoder_->BitRateLower();
  const qint64 frames = decoder_->TotalFrames();
  size_ = frames >= 0 ? frames * 2 * channels_ : -1;
  bufferRead_ = 0;
  bufferEnd_ = 0;
  decoderEnded_ = false;
  damagedSpots_ = 0;
  openCount_ = 1;
}

void TVorbisIn::ReleaseStream() {
  if (streamSupplied_) {
    if (stream_ != nullptr && !stream_->isSequential()) stream_->seek(0);
  } else {
    ownedStream_.reset();
    stream_ = nullptr;
  }
}

void TVorbisIn::CloseFile() {
  QMutexLocker lock(&openLock_);
  if (openCount_ <= 0) return;
  decoder_.reset();
  ReleaseStream();
  openCount_ = 0;
}

void TVorbisIn::ReadBlock(const char*& data, int& byteCount) {
  if (openCount_ <= 0 || !decoder_) throw EAuException("The Stream is not opened");
  if (bufferRead_ >= bufferEnd_) {
    bufferRead_ = 0;
    bufferEnd_ = 0;
    const qint64 size = size_;
    while (!decoderEnded_ && bufferEnd_ < kDecodeBufferBytes) {
      const int got = decoder_->Read(buffer_.data() + bufferEnd_, kDecodeBufferBytes - bufferEnd_);
      damagedSpots_ = decoder_->DamagedSpots();
      if (got <= 0) {
        decoderEnded_ = true;
        break;
      }
      bufferEnd_ += got;
      if (size > 0 && position_ + bufferEnd_ >= size) {
        bufferEnd_ = static_cast<int>(std::max<qint64>(size - position_, 0));
        if (bufferEnd_ == 0) decoderEnded_ = true;
        break;
      }
    }
  }
  byteCount = std::max(std::min(byteCount, bufferEnd_ - bufferRead_), 0);
  data = buffer_.data() + bufferRead_;
  bufferRead_ += byteCount;
}

bool TVorbisIn::SeekTo(qint64 frame) {
  QMutexLocker lock(&openLock_);
  OpenFile();
  const bool ok = decoder_ && decoder_->SeekToFrame(frame);
  bufferRead_ = 0;
  bufferEnd_ = 0;
  if (ok) decoderEnded_ = false;
  return ok;
}

}  // namespace trackmill
