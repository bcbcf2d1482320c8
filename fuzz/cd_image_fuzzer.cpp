// Feeds arbitrary disc image descriptions to the drive layer: the first byte picks the kind
// (cue sheet, cdrdao table of contents, Nero image), the rest is the file. A small .bin
// beside it gives the cue sheets something to point at. The track list is built (an unknown
// disc takes its names from CD-Text), the CD-Text is read, and the first sectors of every
// track are read, as the program does with a named image.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "cd/CDDrive.h"
#include "cd/TrackList.h"
#include "settings/DiscInfoStore.h"

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
  static const char* kSuffixes[] = {"cue", "toc", "nrg"};
  const QString path = folder->filePath(QStringLiteral("image.") + kSuffixes[data[0] % 3]);
  WriteFile(path, QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));

  ClearDiscImages();
  AddDiscImage(path);
  QFile::remove(DiscInfoFilePath());  // every input is a disc the cache does not know
  TrackList list;
  list.Show(0);
  if (list.CDHandle != 0) {
    TCDText text;
    ReadCDText(list.CDHandle, text);
    TTOC toc;
    if (ReadTOC(list.CDHandle, toc) == 1) {
      for (int k = 0; k + 1 < TocEntryCount(toc); ++k) {
        TTrackBuf read(uint32_t(std::max(0, MsfSectors(toc.tracks[k]) - kLeadInSectors)), 2);
        ReadCDAudioLBA(list.CDHandle, read);
      }
    }
    list.Close();
  }
  QFile::remove(path);
  return 0;
}
