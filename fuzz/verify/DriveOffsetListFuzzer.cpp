// Feeds arbitrary bytes to the reader of the database's drive offset list: it keeps one entry
// per whole record, with names of printable ASCII that fit their field, and looks a drive up
// in what it read.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "verify/DriveOffsetList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::vector<trackmill::DriveOffsetEntry> list = trackmill::ReadDriveOffsetList(bytes);
  if (list.size() != size / trackmill::kDriveOffsetRecordBytes) std::abort();
  for (const trackmill::DriveOffsetEntry& entry : list) {
    if (entry.name.size() > trackmill::kDriveNameBytes) std::abort();
    for (const QChar c : entry.name)
      if (c.unicode() < 0x20 || c.unicode() >= 0x7F) std::abort();
    if (entry.offsetSamples < -32768 || entry.offsetSamples > 32767) std::abort();
  }
  const QString vendor = list.empty() ? QString() : list.front().name.section(QStringLiteral(" - "), 0, 0);
  const QString model = list.empty() ? QString() : list.front().name.section(QStringLiteral(" - "), 1);
  (void)trackmill::FindDriveOffset(list, vendor, model);
  return 0;
}
