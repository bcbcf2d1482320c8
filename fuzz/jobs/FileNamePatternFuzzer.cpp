// libFuzzer target for the file-name pattern: the input, split at its first NUL, is the
// pattern and the title. Whatever they hold, every component must be one safe, non-empty name.
#include <cstddef>
#include <cstdint>

#include "jobs/FileNamePattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype split = input.indexOf('\0');
  trackmill::TrackNameFields fields;
  fields.title = QString::fromUtf8(split < 0 ? QByteArray() : input.mid(split + 1));
  fields.albumArtist = fields.title.left(40);
  fields.track = 7;
  fields.disc = 1;
  fields.discTotal = size % 3;
  const QStringList path = trackmill::ExpandFileNamePattern(QString::fromUtf8(input.left(split < 0 ? input.size() : split)), fields);
  if (path.isEmpty()) __builtin_trap();
  for (qsizetype k = 0; k < path.size(); ++k) {
    const QString& name = path[k];
    if (name.isEmpty() || name.startsWith(u'.') || name.contains(u'/')) __builtin_trap();
    if (k + 1 < path.size() && name.toUtf8().size() > 255) __builtin_trap();
  }
  return 0;
}
