// libFuzzer target for the encoder output parsers: the first byte picks the encoder and mode,
// the second the chunk size; the rest is fed as console output in chunks.
#include <cstddef>
#include <cstdint>

#include "jobs/EncoderOutputParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto kind = static_cast<trackmill::EncoderOutputKind>(data[0] % 3);
  const size_t chunk = 1 + data[1];
  const QByteArray text(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
  trackmill::TEncoderOutputParser parser(kind);
  for (qsizetype at = 0; at < text.size(); at += static_cast<qsizetype>(chunk)) {
    for (const auto& record : parser.Feed(text.mid(at, static_cast<qsizetype>(chunk)), at * 7)) {
      if (record->Percent < 1 || record->Percent > 100) __builtin_trap();
    }
  }
  parser.Flush(text.size());
  return 0;
}
