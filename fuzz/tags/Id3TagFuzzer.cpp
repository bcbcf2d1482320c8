// Tid3tag's block reader on arbitrary file content (its last 128 bytes); a tag that reads
// must render to a block that reads back the same.
#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "tags/Id3Tag.h"

namespace {

bool SameFields(const trackmill::Tid3tag& a, const trackmill::Tid3tag& b) {
  return a.Title == b.Title && a.Artist == b.Artist && a.Album == b.Album && a.Year == b.Year &&
         a.Comment == b.Comment && a.Genre == b.Genre && a.Track == b.Track && a.HasTrack == b.HasTrack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t tail = std::min<size_t>(size, 128);
  const QByteArray block(reinterpret_cast<const char*>(data + size - tail), static_cast<qsizetype>(tail));
  trackmill::Tid3tag tag;
  const quint16 status = tag.ReadBlock(block);
  if (!trackmill::Tid3tag::IsSuccess(status)) return 0;
  trackmill::Tid3tag back;
  if (back.ReadBlock(tag.RenderBlock()) != status || !SameFields(tag, back)) abort();
  return 0;
}
