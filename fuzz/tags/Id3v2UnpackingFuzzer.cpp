// The measure of compressed ID3v2 frames on arbitrary file content: it must stay within its
// limit (one unpacking chunk over at most) however the frames and their sizes lie.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "tags/Id3v2Unpacking.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr qint64 kLimit = 256 * 1024;
  constexpr qint64 kChunk = 64 * 1024;
  const QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qint64 unpacked = trackmill::UnpackedId3v2Bytes(content, kLimit);
  if (unpacked < 0 || unpacked > kLimit + kChunk) std::abort();
  return 0;
}
