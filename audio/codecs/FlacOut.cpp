#include "audio/codecs/FlacOut.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <QFileInfo>
#include <algorithm>

#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"

namespace trackmill {

// The libFLAC encoder writing through the output's stream, so STREAMINFO (length and MD5) can
// be rewritten at the start once the audio is done.
struct TFlacOut::Encoder {
  FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
  FLAC__StreamMetadata* comments = nullptr;
  QIODevice* stream = nullptr;
  bool writeFailed = false;

  ~Encoder() {
    if (encoder) FLAC__stream_encoder_delete(encoder);
    if (comments) FLAC__metadata_object_delete(comments);
  }

  static FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                              size_t bytes, uint32_t, uint32_t, void* self) {
    auto* e = static_cast<Encoder*>(self);
    if (e->stream->write(reinterpret_cast<const char*>(buffer), qint64(bytes)) != qint64(bytes)) {
      e->writeFailed = true;
      return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    }
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
  }
  static FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* self) {
    auto* e = static_cast<Encoder*>(self);
    if (e->stream->isSequential()) return FLAC__STREAM_ENCODER_SEEK_STATUS_UNSUPPORTED;
    return e->stream->seek(qint64(offset)) ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
                                           : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
  }
  static FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* self) {
    auto* e = static_cast<Encoder*>(self);
    if (e->stream->isSequential()) return FLAC__STREAM_ENCODER_TELL_STATUS_UNSUPPORTED;
    *offset = FLAC__uint64(e->stream->pos());
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
  }
};

TFlacOut::TFlacOut(QObject* parent) : TAuFileOut(parent) {}

TFlacOut::~TFlacOut() {
  // The worker must be ended before the encoder it uses goes away.
  ShutDown();
}

void TFlacOut::SetCompressionLevel(int level) { compressionLevel_ = std::clamp(level, 0, 8); }

void TFlacOut::PrepareOutput() {
  if (!streamSupplied_) {
    if (fileName_.isEmpty()) throw EAuException("File name is not assigned.");
    ownedStream_ = std::make_unique<TAuFileStream>(fileName_, kAuCreate);
    stream_ = ownedStream_.get();
  }
  input_->Init();
  channels_ = input_->GetChannels();
  bitsPerSample_ = input_->GetBitsPerSample();
  if (channels_ < 1 || channels_ > 8 ||
      (bitsPerSample_ != 8 && bitsPerSample_ != 16 && bitsPerSample_ != 24 && bitsPerSample_ != 32))
    throw EAuException("FLAC encoder setup failed.");
  // The file holds 24 bits of a 32-bit input: a float sample has no more than that to keep.
  const int fileBits = bitsPerSample_ == 32 ? 24 : bitsPerSample_;

  auto encoder = std::make_unique<Encoder>();
  encoder->stream = stream_;
  FLAC__StreamEncoder* e = encoder->encoder;
  bool ok = e && FLAC__stream_encoder_set_channels(e, uint32_t(channels_)) &&
            FLAC__stream_encoder_set_bits_per_sample(e, uint32_t(fileBits)) &&
            FLAC__stream_encoder_set_sample_rate(e, uint32_t(input_->GetSampleRate())) &&
            FLAC__stream_encoder_set_compression_level(e, uint32_t(compressionLevel_));
  const qint64 totalFrames = input_->GetTotalFrames();
  if (ok && totalFrames > 0)
    ok = FLAC__stream_encoder_set_total_samples_estimate(e, FLAC__uint64(totalFrames));
  if (ok && !comments_.isEmpty()) {
    encoder->comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    for (const auto& [name, value] : comments_) {
      FLAC__StreamMetadata_VorbisComment_Entry entry;
      ok = ok && encoder->comments &&
           FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.constData(),
                                                                          value.constData()) &&
           FLAC__metadata_object_vorbiscomment_append_comment(encoder->comments, entry, false);
    }
    ok = ok && FLAC__stream_encoder_set_metadata(e, &encoder->comments, 1);
  }
  if (!ok || FLAC__stream_encoder_init_stream(e, &Encoder::Write, &Encoder::Seek, &Encoder::Tell, nullptr,
                                              encoder.get()) != FLAC__STREAM_ENCODER_INIT_STATUS_OK)
    throw EAuException("FLAC encoder setup failed.");
  block_.resize(size_t(kStepFrames) * size_t(channels_) * size_t(bitsPerSample_ / 8));
  samples_.resize(size_t(kStepFrames) * size_t(channels_));
  encoder_ = std::move(encoder);
}

bool TFlacOut::OutputBlock(bool abort) {
  if (!encoder_ || abort) return false;
  bool endOfInput = false;
  const int got = input_->FillBuffer(block_.data(), int(block_.size()), endOfInput);
  const int sampleBytes = bitsPerSample_ / 8;
  // Whole frames only: a reader may end its last block inside a frame.
  const int frames = got / (sampleBytes * channels_);
  const int count = frames * channels_;
  const auto* bytes = reinterpret_cast<const unsigned char*>(block_.data());
  if (bitsPerSample_ == 16) {
    for (int i = 0; i < count; ++i) samples_[size_t(i)] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  } else if (bitsPerSample_ == 8) {
    for (int i = 0; i < count; ++i) samples_[size_t(i)] = int32_t(bytes[i]) - 128;
  } else if (bitsPerSample_ == 32) {
    for (int i = 0; i < count; ++i) {
      const uint32_t u = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 | uint32_t(bytes[4 * i + 3]) << 24;
      samples_[size_t(i)] = int32_t(u) >> 8;
    }
  } else {
    for (int i = 0; i < count; ++i) {
      const uint32_t u = bytes[3 * i] | bytes[3 * i + 1] << 8 | uint32_t(bytes[3 * i + 2]) << 16;
      samples_[size_t(i)] = int32_t(u << 8) >> 8;
    }
  }
  if (frames > 0 &&
      !FLAC__stream_encoder_process_interleaved(encoder_->encoder, samples_.data(), uint32_t(frames)))
    throw EAuException("FLAC encoding failed.");
  if (!endOfInput && got > 0) return true;
  // The last frame and the final STREAMINFO are written here rather than in FinishOutput(),
  // whose failures would go unreported.
  const bool finished = FLAC__stream_encoder_finish(encoder_->encoder);
  encoder_.reset();
  if (!finished) throw EAuException("FLAC encoding failed.");
  return false;
}

void TFlacOut::FinishOutput() {
  // A stopped or failed run: close the stream without a final STREAMINFO.
  encoder_.reset();
  if (!streamSupplied_) {
    ownedStream_.reset();
    stream_ = nullptr;
  }
  if (input_) input_->Flush();
  comments_.clear();
}

}  // namespace trackmill
