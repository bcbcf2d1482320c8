// TId3v2Tags::ReadFromHandle (and the ID3v1 block reader) on arbitrary bytes in memory. A tag
// of version 2.3/2.4 that reads whole must render and read back to the same values.
#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "tags/Id3v1Tags.h"
#include "tags/Id3v2Tags.h"

using trackmill::TId3v2Tags;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);

  trackmill::TId3v1Tags v1;
  v1.HasTagAt(&buffer);
  v1.ReadFromHandle(&buffer);
  buffer.seek(0);

  TId3v2Tags tags;
  const bool whole = tags.ReadFromHandle(&buffer);
  if (buffer.pos() > bytes.size() || bytes.size() != static_cast<qsizetype>(size)) abort();
  if (!whole || !tags.NewIds()) return 0;

  QByteArray rendered = tags.RenderTag(true);
  QBuffer again(&rendered);
  again.open(QIODevice::ReadOnly);
  TId3v2Tags back;
  if (!back.ReadFromHandle(&again) || again.pos() != rendered.size()) abort();
  for (int frame = 0; frame < TId3v2Tags::kFrameCount; ++frame) {
    if (frame == TId3v2Tags::kComment) continue;
    const QString id = TId3v2Tags::FrameId(TId3v2Tags::Frame(frame), true);
    const QString before = tags.AsWideString(id);
    if (!QStringView(before).isValidUtf16()) continue;  // lone surrogates cannot go to UTF-8
    if (back.AsWideString(id) != before) abort();
  }
  return 0;
}
