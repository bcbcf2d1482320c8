#include "audio/codecs/VorbisDecoder.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

#include "audio/core/AuException.h"

namespace trackmill {

namespace {

constexpr int kMaxErrorsInARow = 64;

struct Source {
  QIODevice* device;
  bool seekable;
};

size_t ReadCallback(void* ptr, size_t size, size_t count, void* datasource) {
  auto* source = static_cast<Source*>(datasource);
  const qint64 wanted = static_cast<qint64>(size * count);
  if (wanted <= 0) return 0;
  const qint64 got = source->device->read(static_cast<char*>(ptr), wanted);
  if (got <= 0) return 0;
  return size == 0 ? 0 : static_cast<size_t>(got) / size;
}

int SeekCallback(void* datasource, ogg_int64_t offset, int whence) {
  auto* source = static_cast<Source*>(datasource);
  if (!source->seekable) return -1;
  qint64 target = offset;
  if (whence == SEEK_CUR) target += source->device->pos();
  else if (whence == SEEK_END) target += source->device->size();
  else if (whence != SEEK_SET) return -1;
  if (target < 0 || !source->device->seek(target)) return -1;
  return 0;
}

long TellCallback(void* datasource) { return static_cast<long>(static_cast<Source*>(datasource)->device->pos()); }

}  // namespace

struct VorbisDecoder::State {
  Source source;
  OggVorbis_File file{};
  bool open = false;
};

VorbisDecoder::VorbisDecoder(QIODevice* device, bool seekable) : s_(std::make_unique<State>()) {
  s_->source = Source{device, seekable};
  // The device belongs to the caller: no close callback.
  const ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
  const int result = ov_test_callbacks(&s_->source, &s_->file, nullptr, 0, callbacks);
  if (result != 0) throw EAuException(QStringLiteral("Failed to open an ogg file: %1").arg(result));
  s_->open = true;
  // The constructor may still fail below; the library state must not leak then.
  auto fail = [this](int code) {
    ov_clear(&s_->file);
    s_->open = false;
    throw EAuException(QStringLiteral("Failed to open an ogg file: %1").arg(code));
  };
  if (const int opened = ov_test_open(&s_->file); opened != 0) fail(opened);
  const vorbis_info* info = ov_info(&s_->file, -1);
  if (info == nullptr || info->channels <= 0 || info->rate <= 0) fail(OV_EBADHEADER);
  channels_ = info->channels;
  sampleRate_ = info->rate;
  bitRateUpper_ = info->bitrate_upper;
  bitRateNominal_ = info->bitrate_nominal;
  bitRateLower_ = info->bitrate_lower;
  // After opening a chained file the library stands at the start of the last link; without
  // this the earlier links would be skipped.
  if (seekable && ov_streams(&s_->file) > 1 && ov_pcm_seek(&s_->file, 0) != 0) fail(OV_EBADLINK);
  const ogg_int64_t total = ov_pcm_total(&s_->file, -1);
  totalFrames_ = total >= 0 ? total : -1;

  if (const vorbis_comment* vc = ov_comment(&s_->file, -1)) {
    for (int i = 0; i < vc->comments; ++i) {
      if (vc->user_comments[i] == nullptr || vc->comment_lengths[i] < 0) continue;
      comments_.append(QByteArray(vc->user_comments[i], vc->comment_lengths[i]));
    }
  }
}

VorbisDecoder::~VorbisDecoder() {
  if (s_->open) ov_clear(&s_->file);
}

int VorbisDecoder::Read(char* buffer, int byteCount) {
  const int frameBytes = 2 * channels_;
  byteCount -= byteCount % frameBytes;
  if (ended_ || byteCount <= 0) return 0;
  int link = currentLink_;
  long got = ov_read(&s_->file, buffer, byteCount, 0, 2, 1, &link);
  // A damaged or missing page is a hole in the stream: the library resynchronises at the next
  // good page, as other decoders do. Only a stream that yields nothing but errors ends here.
  for (int errors = 1; got < 0 && errors < kMaxErrorsInARow; ++errors) {
    ++damagedSpots_;
    got = ov_read(&s_->file, buffer, byteCount, 0, 2, 1, &link);
  }
  if (got < 0) ++damagedSpots_;
  if (got <= 0) {
    ended_ = true;
    return 0;
  }
  if (link != currentLink_) {
    const vorbis_info* info = ov_info(&s_->file, link);
    if (info == nullptr || info->channels != channels_ || info->rate != sampleRate_) {
      ended_ = true;
      return 0;
    }
    currentLink_ = link;
  }
  return static_cast<int>(got);
}

bool VorbisDecoder::SeekToFrame(qint64 frame) {
  if (!s_->source.seekable) return false;
  if (ov_pcm_seek(&s_->file, frame) != 0) return false;
  ended_ = false;
  return true;
}

}  // namespace trackmill
