#include "audio/codecs/WaveConverter.h"

#include <mpg123.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "audio/core/LittleEndian.h"
#include "audio/wav/WavFormat.h"

namespace trackmill {
namespace {

struct HandleDeleter {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

void InitDecoderLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

void PutPcmFormat(QByteArray& format, int channels, long rate) {
  format.fill('\0');
  char* f = format.data();
  const quint16 blockAlign = static_cast<quint16>(channels * 2);
  PutLe16(f, wav::kTagPcm);
  PutLe16(f + 2, static_cast<quint16>(channels));
  PutLe32(f + 4, static_cast<quint32>(rate));
  PutLe32(f + 8, static_cast<quint32>(rate) * blockAlign);
  PutLe16(f + 12, blockAlign);
  PutLe16(f + 14, 16);
}

}  // namespace

TWaveConverter::TWaveConverter()
    : currentFormat_(kFormatBytes, '\0'), newFormat_(kFormatBytes, '\0') {}

void TWaveConverter::LoadFile(QIODevice& stream) {
  const QByteArray file = stream.readAll();
  const LeView view(file.constData(), file.size());
  if (!view.Equals(0, "RIFF", 4) || !view.Equals(8, "WAVE", 4)) return;
  // Byte-wise walk: a position that holds no known id moves the window on by one byte.
  qint64 at = 12;
  while (view.Has(at, 8)) {
    const quint32 bodyBytes = view.U32(at + 4);
    const qint64 body = at + 8;
    const qint64 available = qMin<qint64>(bodyBytes, file.size() - body);
    if (view.Equals(at, "fmt ", 4)) {
      currentFormat_.fill('\0');
      std::memcpy(currentFormat_.data(), file.constData() + body, size_t(qMin<qint64>(available, kFormatBytes)));
      at = body + available;
    } else if (view.Equals(at, "fact", 4)) {
      at = body + available;
    } else if (view.Equals(at, "data", 4)) {
      if (bodyBytes != 0) content_ = file.mid(body, available);
      at = body + available;
    } else {
      ++at;
    }
  }
}

int TWaveConverter::SuggestPcmFormat() {
  const LeView current(currentFormat_.constData(), currentFormat_.size());
  const LeView wanted(newFormat_.constData(), newFormat_.size());
  if (wanted.U16(0) != wav::kTagPcm) return kErrorInvalidParam;
  const int channels = current.U16(2);
  const quint32 rate = current.U32(4);
  if (current.U16(0) != wav::kTagMpegLayer3 || channels < 1 || channels > 2 || rate == 0) {
    return kErrorNotPossible;
  }
  PutPcmFormat(newFormat_, channels, static_cast<long>(rate));
  return 0;
}

int TWaveConverter::Convert() {
  const LeView target(newFormat_.constData(), newFormat_.size());
  if (LeView(currentFormat_.constData(), currentFormat_.size()).U16(0) != wav::kTagMpegLayer3 ||
      target.U16(0) != wav::kTagPcm || target.U16(14) != 16) {
    return kErrorNotPossible;
  }
  InitDecoderLibrary();
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, HandleDeleter> decoder(mpg123_new(nullptr, &error));
  if (!decoder) return kErrorNotPossible;
  mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Signed 16-bit at the stream's own rate and channel count.
  mpg123_format_none(decoder.get());
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) {
    mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open_feed(decoder.get()) != MPG123_OK) return kErrorNotPossible;
  if (mpg123_feed(decoder.get(), reinterpret_cast<const unsigned char*>(content_.constData()),
                  static_cast<size_t>(content_.size())) != MPG123_OK) {
    return kErrorNotPossible;
  }
  QByteArray decoded;
  long rate = 0;
  int channels = 0;
  unsigned char piece[32768];
  for (;;) {
    size_t produced = 0;
    const int result = mpg123_read(decoder.get(), piece, sizeof piece, &produced);
    if (result == MPG123_NEW_FORMAT) {
      int encoding = 0;
      long newRate = 0;
      int newChannels = 0;
      mpg123_getformat(decoder.get(), &newRate, &newChannels, &encoding);
      // A stream that changes its format midway keeps the first one; later frames of another
      // layout would be misread, so decoding stops there.
      if (channels != 0 && (newRate != rate || newChannels != channels)) break;
      rate = newRate;
      channels = newChannels;
    }
    if (produced > 0 && channels > 0) decoded.append(reinterpret_cast<const char*>(piece), qsizetype(produced));
    if (result == MPG123_OK || result == MPG123_NEW_FORMAT) continue;
    if (result == MPG123_NEED_MORE || result == MPG123_DONE) break;
    // A damaged frame in the middle: keep what was decoded before it.
    if (decoded.isEmpty()) return kErrorNotPossible;
    break;
  }
  if (channels <= 0 || rate <= 0) return kErrorNotPossible;
  decoded.truncate(decoded.size() - decoded.size() % (channels * 2));
  PutPcmFormat(newFormat_, channels, rate);
  currentFormat_ = newFormat_;
  content_ = decoded;
  return 0;
}

int TWaveConverter::SaveWavToStream(QBuffer& target) const {
  const LeView format(currentFormat_.constData(), currentFormat_.size());
  if (content_.size() > qsizetype(0xFFFFFFFFu - 36)) return kErrorWrite;
  QByteArray header = wav::PcmHeader(format.U16(2), format.U32(4), format.U16(14), quint32(content_.size()));
  // The format fields come from the held format as they stand.
  std::memcpy(header.data() + 20, currentFormat_.constData(), 16);
  if (!target.isOpen() && !target.open(QIODevice::ReadWrite)) return kErrorWrite;
  if (target.write(header) != header.size() || target.write(content_) != content_.size()) return kErrorWrite;
  return 0;
}

}  // namespace trackmill
