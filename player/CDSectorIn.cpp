#include "player/CDSectorIn.h"

#include <algorithm>

#include "audio/core/AuException.h"

namespace trackmill {

namespace {
// A quarter of a second per read: small enough that Stop is answered at once, large enough
// that a physical drive keeps streaming.
constexpr qint32 kSectorsPerRead = 19;
}  // namespace

TCDSectorIn::TCDSectorIn(QObject* parent) : TAuInput(parent) {}

void TCDSectorIn::SetRange(std::shared_ptr<CdDrive> drive, qint32 firstSector, qint32 endSector) {
  drive_ = std::move(drive);
  firstSector_ = std::max<qint32>(0, firstSector);
  endSector_ = std::max(firstSector_, endSector);
}

qint64 TCDSectorIn::GetTotalFrames() { return qint64(endSector_ - firstSector_) * kCDSectorBytes / 4; }

qint64 TCDSectorIn::GetTotalSeconds() { return (endSector_ - firstSector_) / 75; }

void TCDSectorIn::OpenInput() {
  nextSector_ = firstSector_;
  size_ = qint64(endSector_ - firstSector_) * kCDSectorBytes;
  position_ = 0;
  bufferRead_ = bufferEnd_ = 0;
  sectors_.assign(size_t(kSectorsPerRead) * kCDSectorBytes, 0);
  busy_ = true;
}

void TCDSectorIn::CloseInput() {
  sectors_ = {};
  busy_ = false;
}

void TCDSectorIn::ReadBlock(const char*& data, int& byteCount) {
  if (!busy_) throw EAuException("The Stream is not opened");
  if (bufferRead_ >= bufferEnd_) {
    if (nextSector_ >= endSector_) {
      byteCount = 0;
      return;
    }
    const qint32 sectors = std::min(kSectorsPerRead, endSector_ - nextSector_);
    const quint32 wanted = quint32(sectors) * kCDSectorBytes;
    const SectorRead read =
        drive_ ? drive_->ReadSectors(nextSector_, quint32(sectors), sectors_.data(), sectors_.size()) : SectorRead{};
    if (!read.ok || read.bytes < wanted)
      throw EAuException("Error while reading the disc");
    bufferRead_ = 0;
    bufferEnd_ = int(wanted);
    nextSector_ += sectors;
  }
  byteCount = std::max(0, std::min(byteCount, bufferEnd_ - bufferRead_));
  data = reinterpret_cast<const char*>(sectors_.data()) + bufferRead_;
  bufferRead_ += byteCount;
  position_ += byteCount;
}

}  // namespace trackmill
