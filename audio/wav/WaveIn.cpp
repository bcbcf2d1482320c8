#include "audio/wav/WaveIn.h"

#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"
#include "audio/wav/ImaAdpcm.h"
#include "audio/core/LittleEndian.h"
#include "audio/wav/MsAdpcm.h"
#include "audio/codecs/WaveConverter.h"

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "decoded samples are stored in host order");

namespace trackmill {
namespace {

constexpr int kMaxChannels = 64;

qint32 FloatToInt(double x) {
  if (std::isnan(x) || x == 0.0) return 0;
  if (x >= 1.0) return 2147483647;
  if (x <= -1.0) return -2147483647 - 1;
  return static_cast<qint32>(std::floor(x * 2147483647.0));
}

}  // namespace

TWaveIn::TWaveIn(QObject* parent) : TAuFileIn(parent) {}

TWaveIn::~TWaveIn() {
  QMutexLocker lock(&openLock_);
  CloseFile();
}

TWavType TWaveIn::WavType() {
  QMutexLocker lock(&openLock_);
  OpenFile();
  return scan_.type;
}

qint64 TWaveIn::AvailableDataBytes() const {
  if (!stream_ || stream_->isSequential()) return -1;
  return std::max<qint64>(stream_->size() - scan_.dataOffset, 0);
}

void TWaveIn::OpenFile() {
  QMutexLocker lock(&openLock_);
  if (openCount_ > 0) return;
  valid_ = true;
  float32_ = false;
  if (!streamSupplied_) {
    ownedStream_ = std::make_unique<TAuFileStream>(fileName_, kAuOpenRead | kAuShareDenyWrite);
    stream_ = ownedStream_.get();
  }
  if (!stream_) throw EAuException("The Stream is not opened");
  openCount_ = 1;
  scan_ = ScanWavHeader(*stream_, TWavScanMode::Reader);
  TakeFormat();
  if (!valid_) size_ = 0;
  bufferRead_ = 0;
  bufferEnd_ = 0;
}

void TWaveIn::TakeFormat() {
  channels_ = scan_.channels;
  sampleRate_ = static_cast<int>(std::min<quint32>(scan_.sampleRate, 0x7FFFFFFF));
  bitsPerSample_ = scan_.bitsPerSample;
  const qint64 available = AvailableDataBytes();
  const auto cutToFile = [available](qint64 bytes) { return available >= 0 ? std::min(bytes, available) : bytes; };
  if (channels_ < 1 || channels_ > kMaxChannels || sampleRate_ <= 0) {
    valid_ = false;
    return;  // every size below divides by the channel count or the block size
  }

  switch (scan_.type) {
    case TWavType::wtUnsupported:
      valid_ = false;
      break;
    case TWavType::wtPCM:
    case TWavType::wtExtPCM:
      if (bitsPerSample_ != 8 && bitsPerSample_ != 16 && bitsPerSample_ != 24 && bitsPerSample_ != 32) valid_ = false;
      size_ = cutToFile(scan_.dataBytes);
      buffer_.resize(wav::kBufferBytes);
      break;
    case TWavType::wtIEEEFloat:
    case TWavType::wtExtIEEEFloat:
      if (bitsPerSample_ == 32) {
        float32_ = true;
        size_ = cutToFile(scan_.dataBytes);
      } else if (bitsPerSample_ == 64) {
        size_ = cutToFile(scan_.dataBytes) / 2;
      } else {
        valid_ = false;
      }
      bitsPerSample_ = 32;
      buffer_.resize(wav::kBufferBytes);
      break;
    case TWavType::wtDVIADPCM: {
      if (bitsPerSample_ != 4) valid_ = false;
      bitsPerSample_ = 16;
      blockFrames_ = valid_ ? ima::FramesPerBlock(channels_, scan_.blockAlign) : 0;
      if (blockFrames_ < 2) valid_ = false;
      if (!valid_) break;
      SizeAdpcmBlocks(available);
      break;
    }
    case TWavType::wtMSADPCM: {
      bitsPerSample_ = 16;
      blockFrames_ = scan_.samplesPerBlock;
      if (channels_ > 8 || scan_.coefficients.empty() || blockFrames_ < 2 ||
          scan_.blockAlign < msadpcm::HeaderBytes(channels_)) {
        valid_ = false;
        break;
      }
      SizeAdpcmBlocks(available);
      break;
    }
    case TWavType::wtACM:
      if (!DecodeMpegLayer3()) valid_ = false;
      buffer_.resize(wav::kBufferBytes);
      break;
  }
  if (valid_ && channels_ * bitsPerSample_ / 8 > wav::kBufferBytes) valid_ = false;
}

// ADPCM data decodes block by block to 16-bit frames: the size is the frames "fact" names,
// cut to the blocks the file really holds (available bytes, when known).
void TWaveIn::SizeAdpcmBlocks(qint64 available) {
  qint64 frames = scan_.factFrames;
  if (available >= 0) {
    frames = std::min(frames, (available + scan_.blockAlign - 1) / scan_.blockAlign * blockFrames_);
  }
  size_ = frames * 2 * channels_;
  buffer_.resize(std::max(wav::kBufferBytes, blockFrames_ * 2 * channels_));
  block_.resize(scan_.blockAlign);
}

bool TWaveIn::DecodeMpegLayer3() {
  TWaveConverter converter;
  if (!stream_->isSequential()) stream_->seek(0);
  converter.LoadFile(*stream_);
  PutLe16(converter.NewFormat().data(), wav::kTagPcm);
  if (converter.SuggestPcmFormat() != 0 || converter.Convert() != 0) return false;
  auto decoded = std::make_unique<QBuffer>();
  decoded->open(QIODevice::ReadWrite);
  if (converter.SaveWavToStream(*decoded) != 0) return false;
  decoded->seek(0);
  fileStream_ = stream_;
  decodedStream_ = std::move(decoded);
  stream_ = decodedStream_.get();
  scan_ = ScanWavHeader(*stream_, TWavScanMode::Reader);
  if (scan_.type != TWavType::wtPCM) return false;
  channels_ = scan_.channels;
  sampleRate_ = static_cast<int>(scan_.sampleRate);
  bitsPerSample_ = scan_.bitsPerSample;
  size_ = std::min<qint64>(scan_.dataBytes, AvailableDataBytes());
  scan_.type = TWavType::wtACM;
  return channels_ > 0 && bitsPerSample_ == 16;
}

void TWaveIn::CloseFile() {
  QMutexLocker lock(&openLock_);
  if (openCount_ == 0) return;
  if (decodedStream_) {
    stream_ = fileStream_;
    fileStream_ = nullptr;
    decodedStream_.reset();
  }
  if (streamSupplied_) {
    if (stream_ && !stream_->isSequential()) stream_->seek(0);
  } else {
    ownedStream_.reset();
    stream_ = nullptr;
  }
  openCount_ = 0;
  bufferRead_ = 0;
  bufferEnd_ = 0;
}

void TWaveIn::ReadBlock(const char*& data, int& byteCount) {
  if (openCount_ == 0 || !stream_) throw EAuException("The Stream is not opened");
  if (!valid_ || byteCount <= 0) {
    byteCount = 0;
    return;
  }
  if (bufferRead_ >= bufferEnd_) Refill();
  const int frameBytes = channels_ * bitsPerSample_ / 8;
  int count = byteCount - byteCount % frameBytes;
  count = std::min(count, bufferEnd_ - bufferRead_);
  data = buffer_.constData() + bufferRead_;
  byteCount = std::max(count, 0);
  bufferRead_ += byteCount;
}

void TWaveIn::Refill() {
  bufferRead_ = 0;
  bufferEnd_ = 0;
  char* out = buffer_.data();
  switch (scan_.type) {
    case TWavType::wtPCM:
    case TWavType::wtExtPCM:
    case TWavType::wtACM: {
      const int frameBytes = channels_ * bitsPerSample_ / 8;
      const qint64 got = stream_->read(out, wav::kBufferBytes - wav::kBufferBytes % frameBytes);
      bufferEnd_ = static_cast<int>(std::max<qint64>(got, 0));
      break;
    }
    case TWavType::wtIEEEFloat:
    case TWavType::wtExtIEEEFloat:
      RefillFloat();
      break;
    case TWavType::wtDVIADPCM: {
      const qint64 got = stream_->read(block_.data(), block_.size());
      if (got <= 0) break;
      const int frames = ima::DecodeBlock(block_.constData(), static_cast<int>(got), channels_,
                                          reinterpret_cast<qint16*>(out), int(buffer_.size() / (2 * channels_)));
      bufferEnd_ = frames * 2 * channels_;
      break;
    }
    case TWavType::wtMSADPCM: {
      const qint64 got = stream_->read(block_.data(), block_.size());
      if (got <= 0) break;
      const int frames = msadpcm::DecodeBlock(block_.constData(), static_cast<int>(got), channels_, blockFrames_,
                                              scan_.coefficients, reinterpret_cast<qint16*>(out),
                                              int(buffer_.size() / (2 * channels_)));
      if (frames < 0) throw EAuException("Invalid Microsoft ADPCM block");
      bufferEnd_ = frames * 2 * channels_;
      break;
    }
    case TWavType::wtUnsupported:
      break;
  }
}

void TWaveIn::RefillFloat() {
  char* out = buffer_.data();
  const int sourceFrameBytes = channels_ * (float32_ ? 4 : 8);
  const int wanted = wav::kBufferBytes - wav::kBufferBytes % (channels_ * 8);
  const qint64 got = stream_->read(out, wanted);
  if (got <= 0) return;
  const int values = static_cast<int>(got - got % sourceFrameBytes) / (float32_ ? 4 : 8);
  if (float32_) {
    for (int i = 0; i < values; ++i) {
      float x;
      std::memcpy(&x, out + 4 * i, 4);
      const qint32 v = FloatToInt(x);
      std::memcpy(out + 4 * i, &v, 4);
    }
  } else {
    // Packed to the front: value i moves from 8i to 4i, never ahead of what is still unread.
    for (int i = 0; i < values; ++i) {
      double x;
      std::memcpy(&x, out + 8 * i, 8);
      const qint32 v = FloatToInt(x);
      std::memcpy(out + 4 * i, &v, 4);
    }
  }
  bufferEnd_ = values * 4;
}

bool TWaveIn::SeekTo(qint64 frame) {
  QMutexLocker lock(&dataLock_);
  bufferRead_ = 0;
  bufferEnd_ = 0;
  if (!stream_ || !valid_ || frame < 0) return false;
  qint64 offset = -1;
  switch (scan_.type) {
    case TWavType::wtPCM:
    case TWavType::wtExtPCM:
      offset = scan_.dataOffset + frame * (bitsPerSample_ / 8) * channels_;
      break;
    case TWavType::wtDVIADPCM:
    case TWavType::wtMSADPCM:
      offset = scan_.dataOffset + (frame / blockFrames_) * scan_.blockAlign;
      break;
    default:
      return false;
  }
  return stream_->seek(offset);
}

}  // namespace trackmill
