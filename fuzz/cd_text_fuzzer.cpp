// Feeds arbitrary cue sheets and cdrdao tables of contents (first byte picks which) to the
// CD-Text reader, then lets an unknown disc's track list take its names from them.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "cd/CDDrive.h"
#include "cd/TrackList.h"
#include "settings/Settings.h"

using namespace trackmill;

namespace {
QTemporaryDir* folder = nullptr;

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder = new QTemporaryDir();
  qputenv("TRACKMILL_HOME", folder->filePath("home").toUtf8());
  QDir().mkpath(folder->filePath("home"));
  WriteFile(folder->filePath("disc.bin"), QByteArray(kCDSectorBytes * 40, '\x11'));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const QString path = folder->filePath(data[0] % 2 ? QStringLiteral("text.toc") : QStringLiteral("text.cue"));
  WriteFile(path, QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
  ClearDiscImages();
  AddDiscImage(path);
  Settings() = TSettings{};
  TrackList list;
  list.Show(0);  // no record in the cache: the CD-Text names the rows
  if (list.CDHandle != 0) {
    TCDText text;
    ReadCDText(list.CDHandle, text);
    CloseCDHandle(list.CDHandle);
  }
  QFile::remove(path);
  return 0;
}
