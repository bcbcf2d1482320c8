#include "cd/Drive.h"

#include <QFileInfo>
#include <cstring>

#include "cd/CDDrive.h"

namespace trackmill {
namespace {

constexpr int kDescriptionChars = 26;
// The widths the drive's inquiry data gives vendor and model.
constexpr int kVendorChars = 8;
constexpr int kModelChars = 16;

QString FieldText(const char* field, size_t size) {
  return QString::fromLocal8Bit(field, qsizetype(strnlen(field, size)));
}

}  // namespace

QString DriveInfo::Description() const {
  return (vendor.left(kVendorChars) + model.left(kModelChars)).left(kDescriptionChars);
}

std::vector<DriveInfo> ListDrives() {
  TCDList list{};
  list.max = kMaxDrives;
  const int found = GetCDList(list);
  const QStringList images = DiscImages();
  std::vector<DriveInfo> drives;
  for (int i = 0; i < found; ++i) {
    const TCDREC& r = list.cd[i];
    DriveInfo info;
    info.kind = r.ha == 1 ? DriveInfo::Kind::Image : DriveInfo::Kind::Physical;
    info.position = r.tgt;
    info.vendor = FieldText(r.vendor, sizeof r.vendor);
    info.model = FieldText(r.prodId, sizeof r.prodId);
    info.revision = FieldText(r.rev, sizeof r.rev);
    info.path = FieldText(r.id, sizeof r.id);
    // The record's fields are cut; an image's path and name are known in full.
    if (info.kind == DriveInfo::Kind::Image && r.tgt < images.size()) {
      const QFileInfo file(images[r.tgt]);
      info.path = file.absoluteFilePath();
      info.model = file.fileName();
    }
    drives.push_back(info);
  }
  return drives;
}

bool DiscToc::HasAudioTrack() const {
  for (const TocTrack& track : tracks)
    if (!track.IsData()) return true;
  return false;
}

std::shared_ptr<CdDrive> CdDrive::Open(const DriveInfo& drive) {
  TGetCDHandle request;
  request.ha = drive.kind == DriveInfo::Kind::Image ? 1 : 0;
  request.tgt = uint8_t(drive.position);
  const TCDHandle handle = GetCDHandle(request);
  if (handle == 0) return nullptr;
  // The handle stays private to this object, so its address mode is this object's alone.
  if (ModifyCDParms(handle, kCDParmMsfAddresses, 0) == 0) {
    CloseCDHandle(handle);
    return nullptr;
  }
  return std::shared_ptr<CdDrive>(new CdDrive(handle, IsDiscImageHandle(handle)));
}

CdDrive::~CdDrive() { Close(); }

bool CdDrive::Close() {
  const TCDHandle handle = handle_.exchange(0);
  return handle != 0 && CloseCDHandle(handle) != 0;
}

bool CdDrive::IsOpen() const { return OpenHandle() != 0; }

std::optional<DiscToc> CdDrive::ReadToc() const {
  TTOC toc{};
  if (ReadTOC(OpenHandle(), toc) != 1) return std::nullopt;
  const auto entry = [&](int k) {
    const TTOCTRACK& raw = toc.tracks[k];
    int32_t fromLeadIn = 0;
    std::memcpy(&fromLeadIn, raw.addr, sizeof fromLeadIn);  // LBA mode: little-endian
    return TocTrack{raw.trackNumber, fromLeadIn - kLeadInSectors, uint8_t(raw.ADR & 0x0F)};
  };
  DiscToc result;
  result.firstTrack = toc.firstTrack;
  result.lastTrack = toc.lastTrack;
  const int tracks = TocEntryCount(toc) - 1;
  for (int k = 0; k < tracks; ++k) result.tracks.push_back(entry(k));
  result.leadOut = entry(tracks);
  return result;
}

SectorRead CdDrive::ReadSectors(int32_t lba, uint32_t count, uint8_t* buffer, size_t capacity,
                                const ReadOptions& options) const {
  SectorRead result;
  if (lba < 0 || count == 0 || uint64_t(count) * kCDSectorBytes > capacity ||
      (!options.c2.empty() && options.c2.size() < uint64_t(count) * kC2BytesPerSector))
    return result;
  TTrackBuf request(uint32_t(lba), count);
  const TCDHandle handle = OpenHandle();
  result.ok = ReadCDAudioLBA(handle, request, options) == 1;
  result.status = int32_t(request.header.status);
  result.pastMedium = !result.ok && ReadRanPastMedium(request.header);
  if (result.ok) {
    result.bytes = request.AudioBytes();
    std::memcpy(buffer, request.Audio(), result.bytes);
    result.c2 = !options.c2.empty() && HandleReportsC2(handle);
  }
  return result;
}

bool CdDrive::MediaPresent() const { return trackmill::MediaPresent(OpenHandle()); }
TrayResult CdDrive::Eject() const { return EjectTray(OpenHandle()); }
TrayResult CdDrive::CloseTray() const { return trackmill::CloseTray(OpenHandle()); }

std::optional<TCDText> CdDrive::CdText() const {
  TCDText text;
  if (ReadCDText(OpenHandle(), text) != 1) return std::nullopt;
  return text;
}

QString CdDrive::Identity() const { return DriveIdentity(OpenHandle()); }
int CdDrive::PregapFrames(int trackNumber) const { return TrackPregapFrames(OpenHandle(), trackNumber); }
bool CdDrive::IsImage() const { return isImage_; }
bool CdDrive::HasC2() const { return HandleReportsC2(OpenHandle()); }
bool CdDrive::CanBypassCache() const { return isImage_; }
QString CdDrive::DamageMapLine() const { return trackmill::DamageMapLine(OpenHandle()); }

}  // namespace trackmill
