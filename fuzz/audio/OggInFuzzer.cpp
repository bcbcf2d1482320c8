// Feeds arbitrary bytes to the Ogg Vorbis input as a supplied in-memory stream: open, read
// the comments and format, decode everything, then seek and decode a range.
#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "audio/core/AuException.h"
#include "audio/codecs/VorbisIn.h"

namespace {

void DecodeAll(trackmill::TVorbisIn& in) {
  in.Init();
  for (int guard = 0; guard < 100000; ++guard) {
    const char* data = nullptr;
    int count = 16384;
    in.GetData(data, count);
    if (count <= 0) break;
    volatile char sink = data[count - 1];
    (void)sink;
  }
  in.Flush();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  QByteArray image(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
  QBuffer stream(&image);
  stream.open(QIODevice::ReadOnly);
  trackmill::TVorbisIn in;
  in.SetStream(&stream);
  try {
    if (!in.Valid()) return 0;
    (void)in.Comments().Artist();
    DecodeAll(in);
    const qint64 frames = in.GetTotalFrames();
    if (frames > 2) {
      in.SetStartSample(frames / 2);
      in.SetEndSample(frames / 2 + 1000);
      DecodeAll(in);
    }
  } catch (const trackmill::EAuException&) {
    in.Reset();
  }
  return 0;
}
