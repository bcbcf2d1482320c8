// Feeds arbitrary disc image descriptions to the drive layer: the first byte picks the kind
// (cue sheet, cdrdao table of contents, Nero image), the rest is the file. Small data files
// beside it give the images something to point at: libcdio reads a cue sheet's data from the
// .bin of the same name, a cdrdao table's from the file it names. The table of contents is
// read in MSF form, the track lengths worked out as the track list does, the CD-Text read,
// and the first sectors of every track read.
//
// libcdio opens images only by name, so each input is written once to a folder in memory
// (/dev/shm where there is one); the images are named as drives once, at start-up.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <memory>

#include "cd/CDDrive.h"
#include "cd/TrackList.h"
#include "settings/DiscInfoStore.h"

using namespace trackmill;

namespace {

constexpr const char* kSuffixes[] = {"cue", "toc", "nrg"};
constexpr int kKinds = 3;
std::unique_ptr<QTemporaryDir> folder;  // removed at exit
TCDList drives{};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QString ImagePath(int kind) { return folder->filePath(QStringLiteral("image.") + kSuffixes[kind]); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
  folder = std::make_unique<QTemporaryDir>(base + "/trackmill-cd-fuzz-XXXXXX");
  const QByteArray sectors(kCDSectorBytes * 40, '\x11');
  WriteFile(folder->filePath("image.bin"), sectors);
  WriteFile(folder->filePath("disc.bin"), sectors);
  ClearDiscImages();
  for (int kind = 0; kind < kKinds; ++kind) AddDiscImage(ImagePath(kind));
  // Only the images: with the list full, no physical drive is looked for.
  drives.max = kKinds;
  GetCDList(drives);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int kind = data[0] % kKinds;
  const QString path = ImagePath(kind);
  WriteFile(path, QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));

  TGetCDHandle request;
  request.ha = drives.cd[kind].ha;
  request.tgt = drives.cd[kind].tgt;
  const TCDHandle handle = GetCDHandle(request);
  if (handle != 0) {
    TCDText text;
    ReadCDText(handle, text);
    TTOC toc;
    if (ModifyCDParms(handle, kCDParmMsfAddresses, 1) == 1 && ReadTOC(handle, toc) == 1) {
      HasAudioTrack(toc);
      const int entries = TocEntryCount(toc);
      for (int k = 0; k + 1 < entries; ++k) {
        const TTOCTRACK& from = toc.tracks[k];
        const TTOCTRACK& to = toc.tracks[k + 1];
        TrackSizeText(LengthBetween(from.addr[1], from.addr[2], to.addr[1], to.addr[2]));
        TTrackBuf read(uint32_t(std::max(0, MsfSectors(from) - kLeadInSectors)), 2);
        ReadCDAudioLBA(handle, read);
      }
    }
    CloseCDHandle(handle);
  }
  return 0;
}
