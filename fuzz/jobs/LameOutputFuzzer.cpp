// libFuzzer target for the encoder output parsers: the first byte picks the encoder and mode,
// the second the chunk size; the rest is fed as console output in chunks.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "jobs/EncoderOutputParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto kind = static_cast<trackmill::EncoderOutputKind>(data[0] % 3);
  const size_t chunk = 1 + data[1];
  const char* text = reinterpret_cast<const char*>(data + 2);
  const size_t length = size - 2;
  trackmill::TEncoderOutputParser parser(kind);
  for (size_t at = 0; at < length; at += chunk) {
    // The chunks point into the input: a copy per chunk would cost more than the parsing.
    const qsizetype pieceSize = static_cast<qsizetype>(std::min(chunk, length - at));
    const auto piece = QByteArray::fromRawData(text + at, pieceSize);
    for (const trackmill::StepProgress& progress : parser.Feed(piece, static_cast<qint64>(at) * 7)) {
      if (progress.percent < 1 || progress.percent > 100) __builtin_trap();
    }
  }
  parser.Flush(static_cast<qint64>(length));
  return 0;
}
