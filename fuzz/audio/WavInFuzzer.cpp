// Feeds one whole WAV file from memory through TWaveIn: header scan, format checks, every
// decoder, seeking and a looped range.
#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "audio/core/AuException.h"
#include "audio/wav/WaveIn.h"

namespace {

void ReadAll(trackmill::TWaveIn& in, int pieceBytes) {
  in.Init();
  for (int guard = 0; guard < 100000; ++guard) {
    const char* data = nullptr;
    int count = pieceBytes;
    in.GetData(data, count);
    if (count <= 0) break;
    // Touch the bytes handed out, so a bad pointer shows.
    volatile char sink = data[0];
    sink = data[count - 1];
    (void)sink;
  }
  in.Flush();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  trackmill::TWaveIn in;
  in.SetStream(&buffer);
  try {
    if (!in.Valid()) return 0;
    in.GetChannels();
    in.GetTotalFrames();
    ReadAll(in, 16384);
    in.SetStartSample(3);
    in.SetEndSample(40);
    ReadAll(in, 7);
    in.Init();
    in.Seek(5);
    const char* piece = nullptr;
    int count = 100;
    in.GetData(piece, count);
    in.Flush();
  } catch (const trackmill::EAuException&) {
    // A corrupt block is reported this way; that is the expected failure.
  }
  return 0;
}
