#pragma once
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "cd/DriveTypes.h"

// Drives as values and objects: the drive list as DriveInfo values, and an open drive as a
// CdDrive that closes itself.
namespace trackmill {

// One entry of the drive list: the disc images the user named first, in the order named,
// then the physical drives libcdio finds. Plain value; any thread.
struct DriveInfo {
  enum class Kind { Image, Physical };
  Kind kind = Kind::Physical;
  int position = 0;  // position within its kind
  QString path;      // the device, or the image's absolute path, in full
  QString vendor;    // "Image " for an image
  QString model;     // the image's file name
  QString revision;  // the image's suffix in capitals
  // What the window and the command line show for the drive: vendor and model.
  QString Description() const;
};

// Up to kMaxDrives entries.
std::vector<DriveInfo> ListDrives();

// One track of a table of contents. lba is the sector address reads take (the first track
// of a pressed disc starts at 0); disc ids and checksums count from the start of the
// lead-in, 150 sectors earlier (FramesFromLeadIn).
struct TocTrack {
  int number = 0;
  int32_t lba = 0;
  uint8_t control = 0;  // kControlDataTrack for a data track
  bool IsData() const { return control & kControlDataTrack; }
  int32_t FramesFromLeadIn() const { return lba + kLeadInSectors; }
};

// A disc's table of contents as read once; a plain value that can be handed on.
struct DiscToc {
  int firstTrack = 0;
  int lastTrack = 0;
  std::vector<TocTrack> tracks;  // firstTrack .. lastTrack in order
  TocTrack leadOut;              // number kLeadOutTrackNumber
  bool HasAudioTrack() const;
};

struct SectorRead {
  bool ok = false;
  int status = 0;    // the libcdio driver code of the read
  size_t bytes = 0;  // bytes written into the buffer
  bool c2 = false;   // the read filled ReadOptions::c2 with the drive's C2 pointers
  bool pastMedium = false;  // failed for sectors the medium does not hold (an image cut short)
};

// An open drive or disc image. Shared: whoever reads (the extraction thread, the player)
// holds a share for as long as it reads. Every member is thread-safe; calls are serialised
// by the drive's lock, so a read may run on the extraction thread while the main thread reads
// the table of contents. Close() waits for a read that runs, then releases the device; every
// later call fails. The last share closes the drive if Close() was not called.
class CdDrive {
 public:
  // Nothing when the drive or image cannot be opened (an image that the reader must not be
  // given counts as unopenable).
  static std::shared_ptr<CdDrive> Open(const DriveInfo& drive);
  ~CdDrive();
  CdDrive(const CdDrive&) = delete;
  CdDrive& operator=(const CdDrive&) = delete;

  // False when it was closed already.
  bool Close();
  bool IsOpen() const;

  std::optional<DiscToc> ReadToc() const;
  // Reads count sectors from sector lba into buffer; fails when they do not fit capacity (or
  // options.c2, when given, holds less than kC2BytesPerSector a sector), for a count of 0, a
  // read error, or a read past the end of an image. An image with a damage map returns what
  // the map makes of the disc, as a drive would return it from a damaged one.
  SectorRead ReadSectors(int32_t lba, uint32_t count, uint8_t* buffer, size_t capacity,
                         const ReadOptions& options = {}) const;
  // Whether reads fill ReadOptions::c2 with the drive's C2 pointers (a physical drive that
  // says it reports them; an image whose damage map says "c2 yes").
  bool HasC2() const;
  // Whether ReadOptions::bypassCache reaches the disc past the drive's cache: an image's, not
  // a physical drive's.
  bool CanBypassCache() const;
  // "Damage map: FILE (N directives)" when an image reads through a damage map, else empty.
  QString DamageMapLine() const;
  // A fresh look: a disc changed since opening is noticed. May block while a drive spins up.
  bool MediaPresent() const;
  TrayResult Eject() const;
  TrayResult CloseTray() const;
  // Empty when the disc carries no CD-Text.
  std::optional<TCDText> CdText() const;
  // Names the drive in the settings (its read offset); empty once closed.
  QString Identity() const;
  int PregapFrames(int trackNumber) const;
  bool IsImage() const;

 private:
  // The drive layer's handle below this object, private to it; 0 once closed.
  using Handle = uint32_t;
  CdDrive(Handle handle, bool isImage) : handle_(handle), isImage_(isImage) {}
  Handle OpenHandle() const { return handle_.load(); }
  std::atomic<Handle> handle_;
  const bool isImage_;
};

}  // namespace trackmill
