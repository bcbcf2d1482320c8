#include "cd/CDDrive.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/read.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "cd/C2AudioRead.h"
#include "cd/DamagedReads.h"
#include "cd/ImageSheets.h"
#include "cd/NeroImage.h"

namespace trackmill {
namespace {

constexpr uint8_t kAdapterPhysical = 0;
constexpr uint8_t kAdapterImage = 1;

// libcdio reports problems on stderr; callers here get results and show their own texts.
void QuietLog(cdio_log_level_t, const char*) {}

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    cdio_log_set_handler(QuietLog);
    cdio_init();
  });
}

// One open drive. cdio guarded by lock; msfAddresses and damage too.
struct OpenDrive {
  std::mutex lock;
  CdIo_t* cdio = nullptr;
  bool msfAddresses = false;
  std::unique_ptr<DamagedReads> damage;  // an image's damage map; none without one
  bool isImage = false;
  bool reportsC2 = false;  // set before the handle is published, then constant
  QString damageMapLine;   // likewise
  QString path;  // device or image file; fixed once opened
  driver_id_t driver = DRIVER_UNKNOWN;
  QString identity;  // set before the handle is published, then constant
  ~OpenDrive() {
    if (cdio) cdio_destroy(cdio);
  }
};

struct Registry {
  std::mutex lock;  // guards every field
  std::map<TCDHandle, std::shared_ptr<OpenDrive>> handles;
  TCDHandle nextHandle = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::shared_ptr<OpenDrive> FindDrive(TCDHandle handle) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  auto it = r.handles.find(handle);
  return it == r.handles.end() ? nullptr : it->second;
}

QStringList PhysicalDrives() {
  QStringList devices;
  char** list = cdio_get_devices(DRIVER_DEVICE);
  for (char** d = list; d && *d; ++d) devices << QString::fromLocal8Bit(*d);
  cdio_free_device_list(list);
  return devices;
}

void CopyText(char* field, size_t fieldSize, const QByteArray& text) {
  std::memset(field, 0, fieldSize);
  std::memcpy(field, text.constData(), std::min<size_t>(size_t(text.size()), fieldSize - 1));
}

void FillImageRecord(TCDREC& rec, int position, const QString& path) {
  std::memset(&rec, 0, sizeof rec);
  rec.ha = kAdapterImage;
  rec.tgt = uint8_t(position);
  const QFileInfo info(path);
  CopyText(rec.id, sizeof rec.id, info.absoluteFilePath().toUtf8());
  CopyText(rec.vendor, sizeof rec.vendor, "Image ");
  CopyText(rec.prodId, sizeof rec.prodId, info.fileName().toUtf8());
  CopyText(rec.rev, sizeof rec.rev, info.suffix().toUpper().toUtf8());
}

void FillPhysicalRecord(TCDREC& rec, int position, const QString& device) {
  std::memset(&rec, 0, sizeof rec);
  rec.ha = kAdapterPhysical;
  rec.tgt = uint8_t(position);
  CopyText(rec.id, sizeof rec.id, device.toLocal8Bit());
  cdio_hwinfo_t hw{};
  CdIo_t* cdio = cdio_open(device.toLocal8Bit().constData(), DRIVER_DEVICE);
  if (cdio && cdio_get_hwinfo(cdio, &hw)) {
    CopyText(rec.vendor, sizeof rec.vendor, QByteArray(hw.psz_vendor, int(strnlen(hw.psz_vendor, 9))));
    CopyText(rec.prodId, sizeof rec.prodId, QByteArray(hw.psz_model, int(strnlen(hw.psz_model, 17))));
    CopyText(rec.rev, sizeof rec.rev, QByteArray(hw.psz_revision, int(strnlen(hw.psz_revision, 5))));
  } else {
    CopyText(rec.prodId, sizeof rec.prodId, QFileInfo(device).fileName().toLocal8Bit());
  }
  if (cdio) cdio_destroy(cdio);
}

void SetAddress(TTOCTRACK& entry, lba_t lba, bool msf) {
  if (msf) {
    entry.addr[0] = 0;
    entry.addr[1] = uint8_t(lba / kSectorsPerMinute);
    entry.addr[2] = uint8_t(lba / kSectorsPerSecond % 60);
    entry.addr[3] = uint8_t(lba % kSectorsPerSecond);
  } else {
    for (int b = 0; b < 4; ++b) entry.addr[b] = uint8_t(uint32_t(lba) >> (8 * b));
  }
}

}  // namespace

QString DiscImageProblem(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("no such file");
  if (info.isDir()) return QStringLiteral("a folder, not a disc image");
  if (!info.isReadable()) return QStringLiteral("permission denied");
  if (ImageDriver(path) == DRIVER_UNKNOWN) return QStringLiteral("not a disc image (.cue, .bin, .toc or .nrg)");
  if (!ImageFitsReader(path)) return QStringLiteral("its table lists more tracks than a CD holds");
  InitLibrary();
  CdIo_t* cdio = OpenDiscImage(path);
  if (!cdio) return QStringLiteral("not a readable disc image (its sheet or data file is missing or damaged)");
  const track_t tracks = cdio_get_num_tracks(cdio);
  cdio_destroy(cdio);
  if (tracks == 0 || tracks == CDIO_INVALID_TRACK) return QStringLiteral("an image without tracks");
  return ReadDamageMap(path).error;
}

int GetCDList(TCDList& list) {
  InitLibrary();
  const int capacity = std::min<int>(list.max, kMaxDrives);
  int found = 0;
  const QStringList images = DiscImages();
  for (int i = 0; i < images.size() && found < capacity; ++i) FillImageRecord(list.cd[found++], i, images[i]);
  if (found < capacity) {
    const QStringList devices = PhysicalDrives();
    for (int i = 0; i < devices.size() && found < capacity; ++i)
      FillPhysicalRecord(list.cd[found++], i, devices[i]);
  }
  list.num = uint8_t(found);
  return found;
}

TCDHandle GetCDHandle(const TGetCDHandle& request) {
  InitLibrary();
  QString path;
  driver_id_t driver = DRIVER_UNKNOWN;
  QString identity;
  DamageMapResult damage;
  if (request.ha == kAdapterImage) {
    const QStringList images = DiscImages();
    if (request.tgt >= images.size()) return 0;
    path = images[request.tgt];
    if (!QFileInfo(path).isFile() || !ImageFitsReader(path)) return 0;
    // A malformed map refuses the image: nothing is read that the map was meant to damage.
    damage = ReadDamageMap(path);
    if (!damage.error.isEmpty()) return 0;
    driver = ImageDriver(path);
    identity = QFileInfo(path).absoluteFilePath();
  } else if (request.ha == kAdapterPhysical) {
    const QStringList devices = PhysicalDrives();
    if (request.tgt >= devices.size()) return 0;
    path = devices[request.tgt];
    driver = DRIVER_DEVICE;
  }
  if (path.isEmpty()) return 0;
  CdIo_t* cdio = request.ha == kAdapterImage ? OpenDiscImage(path)
                                              : cdio_open(QFile::encodeName(path).constData(), driver);
  if (!cdio) return 0;
  if (request.ha == kAdapterPhysical) {
    cdio_hwinfo_t hw{};
    if (cdio_get_hwinfo(cdio, &hw))
      identity = QString::fromLatin1(hw.psz_vendor).trimmed() + ' ' + QString::fromLatin1(hw.psz_model).trimmed();
    else
      identity = path;
  }
  auto drive = std::make_shared<OpenDrive>();
  drive->cdio = cdio;
  drive->isImage = request.ha == kAdapterImage;
  drive->path = path;
  drive->driver = driver;
  drive->identity = identity.replace(QLatin1Char('='), QLatin1Char('_'));
  if (damage.map) {
    drive->damageMapLine = DamageMapLine(QFileInfo(path).absoluteFilePath(), *damage.map);
    drive->damage = std::make_unique<DamagedReads>(std::move(*damage.map));
  }
  drive->reportsC2 = drive->damage ? drive->damage->ReportsC2() : !drive->isImage && DriveReportsC2(cdio);
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  const TCDHandle handle = r.nextHandle++;
  if (r.nextHandle == 0) r.nextHandle = 1;
  r.handles[handle] = std::move(drive);
  return handle;
}

int CloseCDHandle(TCDHandle handle) {
  Registry& r = TheRegistry();
  std::shared_ptr<OpenDrive> drive;
  {
    std::lock_guard guard(r.lock);
    auto it = r.handles.find(handle);
    if (it == r.handles.end()) return 0;
    drive = std::move(it->second);
    r.handles.erase(it);
  }
  return 1;  // the drive closes when its last user lets go
}

int ModifyCDParms(TCDHandle handle, int parameter, int value) {
  auto drive = FindDrive(handle);
  if (!drive || parameter != kCDParmMsfAddresses) return 0;
  std::lock_guard guard(drive->lock);
  drive->msfAddresses = value != 0;
  return 1;
}

int ReadTOC(TCDHandle handle, TTOC& toc) {
  auto drive = FindDrive(handle);
  if (!drive) return 0;
  std::lock_guard guard(drive->lock);
  CdIo_t* cdio = drive->cdio;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t count = cdio_get_num_tracks(cdio);
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
      count >= kTocEntries || int(first) + count - 1 > 99)
    return 0;
  std::memset(&toc, 0, sizeof toc);
  toc.firstTrack = first;
  toc.lastTrack = uint8_t(first + count - 1);
  lba_t previous = 0;
  for (int k = 0; k <= count; ++k) {
    const bool leadOut = k == count;
    const track_t track = leadOut ? track_t(CDIO_CDROM_LEADOUT_TRACK) : track_t(first + k);
    lba_t lba = cdio_get_track_lba(cdio, track);
    // Addresses must fit the minute byte of the MSF form.
    if (lba == CDIO_INVALID_LBA || lba < 0 || lba / kSectorsPerMinute > 255) return 0;
    // A truncated image's lead-out (its data's end) may come before its last tracks: they are
    // empty, never of negative length.
    lba = std::max(lba, previous);
    previous = lba;
    TTOCTRACK& entry = toc.tracks[k];
    const bool data = !leadOut && cdio_get_track_format(cdio, track) != TRACK_FORMAT_AUDIO;
    entry.ADR = uint8_t(0x10 | (data ? kControlDataTrack : 0));
    entry.trackNumber = leadOut ? kLeadOutTrackNumber : uint8_t(track);
    SetAddress(entry, lba, drive->msfAddresses);
  }
  toc.tocLen = uint16_t(2 + 8 * (count + 1));
  return 1;
}

int ReadCDText(TCDHandle handle, TCDText& text) {
  auto drive = FindDrive(handle);
  if (!drive) return 0;
  std::lock_guard guard(drive->lock);
  cdtext_t* cdtext = cdio_get_cdtext(drive->cdio);  // owned by the drive object
  if (!cdtext) return 0;
  bool any = false;
  const auto field = [&](cdtext_field_t key, track_t track) {
    const char* value = cdtext_get_const(cdtext, key, track);
    const QString result = value ? QString::fromUtf8(value).trimmed() : QString();
    any = any || !result.isEmpty();
    return result;
  };
  text = {};
  text.disc = {field(CDTEXT_FIELD_TITLE, 0), field(CDTEXT_FIELD_PERFORMER, 0)};
  const track_t last = cdio_get_last_track_num(drive->cdio);
  if (last != CDIO_INVALID_TRACK && last <= 99) {
    for (track_t track = 1; track <= last; ++track)
      text.tracks.push_back({field(CDTEXT_FIELD_TITLE, track), field(CDTEXT_FIELD_PERFORMER, track)});
  }
  return any ? 1 : 0;
}

int ReadCDAudioLBA(TCDHandle handle, TTrackBuf& request) { return ReadCDAudioLBA(handle, request, ReadOptions{}); }

int ReadCDAudioLBA(TCDHandle handle, TTrackBuf& request, const ReadOptions& options) {
  TTrackBufHeader& h = request.header;
  h.len = 0;
  h.startOffset = 0;
  if (h.numFrames == 0 || uint64_t(h.numFrames) * kCDSectorBytes > h.maxLen ||
      h.maxLen > request.Capacity() || h.startFrame > uint32_t(CDIO_CD_MAX_LSN) ||
      (!options.c2.empty() && options.c2.size() < uint64_t(h.numFrames) * kC2BytesPerSector)) {
    h.status = uint32_t(DRIVER_OP_BAD_PARAMETER);
    return 0;
  }
  auto drive = FindDrive(handle);
  if (!drive) {
    h.status = uint32_t(DRIVER_OP_UNINIT);
    return 0;
  }
  std::lock_guard guard(drive->lock);
  std::fill(options.c2.begin(), options.c2.end(), uint8_t(0));
  const lsn_t first = lsn_t(h.startFrame);
  const driver_return_code_t rc =
      !options.c2.empty() && drive->reportsC2 && !drive->damage
          ? ReadAudioWithC2(drive->cdio, first, h.numFrames, request.Data(), options.c2.data())
          : cdio_read_audio_sectors(drive->cdio, request.Data(), first, h.numFrames);
  h.status = uint32_t(rc);
  if (rc != DRIVER_OP_SUCCESS) {
    // An image's data file lacks these sectors: out of range, not a medium error.
    if (drive->isImage) h.status = uint32_t(DRIVER_OP_BAD_PARAMETER);
    return 0;
  }
  // libcdio's image drivers fail a read only when none of it lies in the image file; a read
  // that runs past the end of a cut image must fail too, as it does on a drive. The last
  // sector read on its own tells.
  if (drive->isImage) {
    uint8_t last[kCDSectorBytes];
    // Past the end of the image the address is out of range, as on a drive, not a medium error.
    if (cdio_read_audio_sectors(drive->cdio, last, first + lsn_t(h.numFrames) - 1, 1) != DRIVER_OP_SUCCESS) {
      h.status = uint32_t(DRIVER_OP_BAD_PARAMETER);
      return 0;
    }
    if (drive->damage && !drive->damage->Apply(first, h.numFrames, request.Data(), options.c2, options.bypassCache)) {
      h.status = uint32_t(DRIVER_OP_ERROR);
      return 0;
    }
  }
  h.len = h.numFrames * kCDSectorBytes;
  return 1;
}

bool ReadRanPastMedium(const TTrackBufHeader& header) {
  return int32_t(header.status) == DRIVER_OP_BAD_PARAMETER;
}

bool MediaPresent(TCDHandle handle) {
  const auto drive = FindDrive(handle);
  if (!drive) return false;
  // The open handle keeps the table it read first; only a new look sees a changed disc.
  if (drive->isImage && (!QFileInfo(drive->path).isFile() || !ImageFitsReader(drive->path))) return false;
  CdIo_t* probe = drive->isImage ? OpenDiscImage(drive->path)
                                 : cdio_open(QFile::encodeName(drive->path).constData(), drive->driver);
  if (!probe) return false;
  const track_t count = cdio_get_num_tracks(probe);
  cdio_destroy(probe);
  return count != CDIO_INVALID_TRACK && count > 0;
}

namespace {
TrayResult MoveTray(TCDHandle handle, bool open) {
  const auto drive = FindDrive(handle);
  if (!drive) return TrayResult::Failed;
  if (drive->isImage) return TrayResult::NoTray;
  const QByteArray device = QFile::encodeName(drive->path);
  driver_id_t driver = DRIVER_DEVICE;
  const driver_return_code_t rc =
      open ? cdio_eject_media_drive(device.constData()) : cdio_close_tray(device.constData(), &driver);
  return rc == DRIVER_OP_SUCCESS ? TrayResult::Done : TrayResult::Failed;
}
}  // namespace

TrayResult EjectTray(TCDHandle handle) { return MoveTray(handle, true); }
TrayResult CloseTray(TCDHandle handle) { return MoveTray(handle, false); }

QString DriveIdentity(TCDHandle handle) {
  auto drive = FindDrive(handle);
  return drive ? drive->identity : QString();
}

int TrackPregapFrames(TCDHandle handle, int trackNumber) {
  auto drive = FindDrive(handle);
  if (!drive || trackNumber < 1 || trackNumber > 99) return 0;
  std::lock_guard guard(drive->lock);
  const lba_t start = cdio_get_track_lba(drive->cdio, track_t(trackNumber));
  const lba_t pregap = cdio_get_track_pregap_lba(drive->cdio, track_t(trackNumber));
  if (start == CDIO_INVALID_LBA || pregap == CDIO_INVALID_LBA || pregap > start) return 0;
  return int(start - pregap);
}

bool HandleReportsC2(TCDHandle handle) {
  auto drive = FindDrive(handle);
  return drive && drive->reportsC2;
}

QString DamageMapLine(TCDHandle handle) {
  auto drive = FindDrive(handle);
  return drive ? drive->damageMapLine : QString();
}

bool IsDiscImageHandle(TCDHandle handle) {
  auto drive = FindDrive(handle);
  return drive && drive->isImage;
}

}  // namespace trackmill
