#include "cd/CDIn.h"

#include <cdio/cdio.h>
#include <cdio/mmc_ll_cmds.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <QFileInfo>
#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/core/AuException.h"
#include "cd/DamageMap.h"
#include "cd/Drive.h"
#include "cd/ImageSheets.h"

namespace trackmill {
namespace {

constexpr int kChunkBytes = 176400;  // 75 sectors
constexpr int kChunkSectors = kChunkBytes / kCDSectorBytes;
constexpr int kDefaultAttempts = 20;

struct DriveEntry {
  QString path;
  bool isImage = false;
  QString name;
};

std::vector<DriveEntry> DriveEntries() {
  std::vector<DriveEntry> entries;
  for (const DriveInfo& drive : ListDrives())
    entries.push_back({drive.path, drive.kind == DriveInfo::Kind::Image, drive.vendor + drive.model});
  return entries;
}

int ParanoiaFlags(bool jitter, bool paranoid, int mode) {
  if (!jitter) return PARANOIA_MODE_DISABLE;
  if (paranoid) return PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
  switch (mode) {
    case 0: return PARANOIA_MODE_OVERLAP;
    case 1: return PARANOIA_MODE_OVERLAP | PARANOIA_MODE_VERIFY;
    default: return PARANOIA_MODE_FULL;
  }
}

}  // namespace

TCDIn::TCDIn(QObject* parent) : TAuInput(parent) {
  frameBytes_ = 4;
  seekable_ = false;
}

TCDIn::~TCDIn() {
  QMutexLocker lock(&dataLock_);
  try {
    CloseInput();
  } catch (...) {
  }
  CloseDrive();
}

int TCDIn::DriveCount() { return int(DriveEntries().size()); }

void TCDIn::SelectDrive(int n) {
  QMutexLocker lock(&dataLock_);
  if (busy_) throw EAuException("The component is busy");
  if (n < 0 || n >= DriveCount() || n == drive_) return;
  CloseDrive();
  drive_ = n;
}

QString TCDIn::DriveName() {
  const auto entries = DriveEntries();
  return drive_ < int(entries.size()) ? entries[size_t(drive_)].name : QString();
}

bool TCDIn::OpenDrive() {
  if (cdda_) return true;
  const auto entries = DriveEntries();
  if (drive_ >= int(entries.size())) return false;
  const DriveEntry& entry = entries[size_t(drive_)];
  // An image the drive layer refuses for its malformed damage map is not read here either.
  if (entry.isImage && (!QFileInfo(entry.path).isFile() || !ImageFitsReader(entry.path) ||
                        !ReadDamageMap(entry.path).error.isEmpty()))
    return false;
  CdIo_t* cdio = entry.isImage ? OpenDiscImage(entry.path)
                                : cdio_open(QFile::encodeName(entry.path).constData(), DRIVER_DEVICE);
  if (!cdio) return false;
  cdda_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
  if (!cdda_) {
    cdio_destroy(cdio);
    return false;
  }
  cdio_cddap_verbose_set(cdda_, CDDA_MESSAGE_FORGETIT, CDDA_MESSAGE_FORGETIT);
  if (cdio_cddap_open(cdda_) != 0) {
    CloseDrive();
    return false;
  }
  isImage_ = entry.isImage;
  return true;
}

void TCDIn::CloseDrive() {
  if (paranoia_) cdio_paranoia_free(paranoia_);
  paranoia_ = nullptr;
  if (cdda_) cdio_cddap_close(cdda_);  // also destroys its CdIo
  cdda_ = nullptr;
}

bool TCDIn::ReadToc(Toc& toc) {
  toc = {};
  if (!OpenDrive()) return false;
  const int tracks = cdio_cddap_tracks(cdda_);
  if (tracks <= 0 || tracks >= MAXTRK) return false;
  for (int k = 0; k <= tracks; ++k) {
    toc.starts.push_back(cdda_->disc_toc[k].dwStartSector);
    if (k < tracks) toc.data.push_back(!cdio_cddap_track_audiop(cdda_, track_t(cdda_->disc_toc[k].bTrack)));
  }
  return true;
}

int TCDIn::TrackCount() {
  QMutexLocker lock(&dataLock_);
  Toc toc;
  return ReadToc(toc) ? int(toc.data.size()) : -1;
}

TCDIn::TrackTime TCDIn::TrackLength(int n) {
  QMutexLocker lock(&dataLock_);
  Toc toc;
  if (!ReadToc(toc) || n < 1 || n > int(toc.data.size())) throw EAuException("Track out of range.");
  const qint32 length = toc.starts[size_t(n)] - toc.starts[size_t(n - 1)];
  return {length / 4500, length / 75 % 60, length % 75};
}

bool TCDIn::IsDataTrack(int n) {
  QMutexLocker lock(&dataLock_);
  Toc toc;
  if (!ReadToc(toc) || n < 1 || n > int(toc.data.size())) throw EAuException("Track out of range.");
  return toc.data[size_t(n - 1)];
}

std::vector<qint32> TCDIn::TocStartSectors() {
  QMutexLocker lock(&dataLock_);
  Toc toc;
  ReadToc(toc);
  return toc.starts;
}

void TCDIn::SetStartTrack(int track) {
  QMutexLocker lock(&dataLock_);
  if (busy_) throw EAuException("The component is busy");
  startTrack_ = track;
}

void TCDIn::SetEndTrack(int track) {
  QMutexLocker lock(&dataLock_);
  if (busy_) throw EAuException("The component is busy");
  endTrack_ = track;
}

qint64 TCDIn::RangeBytes(const Toc& toc) const {
  const int count = int(toc.data.size());
  if (startTrack_ < 1 || endTrack_ < startTrack_ || endTrack_ > count) return 0;
  return qint64(toc.starts[size_t(endTrack_)] - toc.starts[size_t(startTrack_ - 1)]) * kCDSectorBytes;
}

qint64 TCDIn::GetTotalFrames() {
  QMutexLocker lock(&dataLock_);
  if (busy_) return size_ / 4;
  Toc toc;
  return ReadToc(toc) ? RangeBytes(toc) / 4 : 0;
}

qint64 TCDIn::GetTotalSeconds() { return std::llround(double(GetTotalFrames()) / 44100.0); }

void TCDIn::OpenInput() {
  if (busy_) throw EAuException("The component is busy");
  Toc toc;
  if (!ReadToc(toc)) throw EAuException("The drive is not ready");
  const int count = int(toc.data.size());
  if (startTrack_ < 1 || startTrack_ > count) throw EAuException("The start track out of range");
  if (toc.data[size_t(startTrack_ - 1)]) throw EAuException("Trying to rip a data track");
  // The range ends where the next track (or the lead-out) starts, so only tracks on the
  // disc can end it.
  if (endTrack_ < 1 || endTrack_ > count || endTrack_ < startTrack_) throw EAuException("The end track out of range");

  nextSector_ = toc.starts[size_t(startTrack_ - 1)];
  endSector_ = toc.starts[size_t(endTrack_)];
  size_ = RangeBytes(toc);
  position_ = 0;
  chunk_.assign(kChunkBytes, 0);
  bufferRead_ = bufferEnd_ = 0;

  if (paranoia_) cdio_paranoia_free(paranoia_);
  paranoia_ = cdio_paranoia_init(cdda_);
  if (!paranoia_) throw EAuException("The drive is not ready");
  cdio_paranoia_modeset(paranoia_, ParanoiaFlags(EnableJitterCorrection, Paranoid, ParanoiaMode));
  cdio_paranoia_seek(paranoia_, nextSector_, SEEK_SET);
  if (LockTray && !isImage_)
    trayLocked_ = mmc_prevent_allow_medium_removal(cdda_->p_cdio, true, true, 0) == DRIVER_OP_SUCCESS;
  busy_ = true;
}

void TCDIn::CloseInput() {
  if (trayLocked_ && cdda_) mmc_prevent_allow_medium_removal(cdda_->p_cdio, false, false, 0);
  trayLocked_ = false;
  if (paranoia_) cdio_paranoia_free(paranoia_);
  paranoia_ = nullptr;
  busy_ = false;
}

void TCDIn::RefillChunk() {
  bufferRead_ = bufferEnd_ = 0;
  const int attempts = MultiReadCount > 0 ? MultiReadCount : kDefaultAttempts;
  const int sectors = std::min<qint32>(kChunkSectors, endSector_ - nextSector_);
  for (int s = 0; s < sectors; ++s) {
    const int16_t* samples = cdio_paranoia_read_limited(paranoia_, nullptr, attempts);
    if (!samples) throw EAuException("Error while reading the disc");
    char* out = chunk_.data() + bufferEnd_;
    std::memcpy(out, samples, kCDSectorBytes);
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    for (int i = 0; i < kCDSectorBytes; i += 2) std::swap(out[i], out[i + 1]);
#endif
    bufferEnd_ += kCDSectorBytes;
    ++nextSector_;
  }
}

void TCDIn::ReadBlock(const char*& data, int& byteCount) {
  if (!busy_) throw EAuException("The Stream is not opened");
  if (bufferRead_ >= bufferEnd_) {
    if (nextSector_ >= endSector_) {
      byteCount = 0;
      return;
    }
    RefillChunk();
  }
  byteCount = std::max(0, std::min(byteCount, bufferEnd_ - bufferRead_));
  data = chunk_.data() + bufferRead_;
  bufferRead_ += byteCount;
  position_ += byteCount;
}

}  // namespace trackmill
