#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <vector>

// What the drive object and its callers share: the sector geometry of an audio disc, the
// results of tray commands, CD-Text, and the disc images the user offers as drives.
namespace trackmill {

inline constexpr int kMaxDrives = 8;
inline constexpr int kTocEntries = 100;
inline constexpr int kCDSectorBytes = 2352;
// C2 error pointers of one sector as READ CD's error-flags field gives them: a bit for each of
// the 2352 bytes, the first byte in the top bit of the first flag byte.
inline constexpr int kC2BytesPerSector = kCDSectorBytes / 8;
inline constexpr int kSectorsPerSecond = 75;
inline constexpr int kSectorsPerMinute = 4500;
// Sector number (as reads address it) = address counted from the start of the lead-in - 150.
inline constexpr int kLeadInSectors = 150;
// Frames between the end of an enhanced disc's audio session and its data track (the second
// session's lead-in and pregap).
inline constexpr int kSessionGapFrames = 11400;
inline constexpr uint8_t kLeadOutTrackNumber = 0xAA;
inline constexpr uint8_t kControlDataTrack = 0x04;

// How a read for secure ripping differs from a plain one. bypassCache: the drive reads the
// disc, not what it cached of an earlier read (a disc image with a damage map honours it; no
// physical drive does, since READ CD carries no Force Unit Access bit: defeat its cache by
// reading far away instead). c2: empty, or room for kC2BytesPerSector a sector read, to be
// filled with the drive's C2 pointers (all clear when it reports none, see HasC2).
struct ReadOptions {
  bool bypassCache = false;
  std::span<uint8_t> c2;
};

// Opening or closing a drive's tray. A disc image has none.
enum class TrayResult { Done, Failed, NoTray };

// CD-Text of a disc (drives, cue sheets, cdrdao tables of contents), UTF-8. Empty texts where
// the disc holds none.
struct TCDTextEntry {
  QString title;
  QString performer;
};
struct TCDText {
  TCDTextEntry disc;
  std::vector<TCDTextEntry> tracks;  // tracks[n - 1] is track n; as long as the last track
};

// False for an image libcdio must not be given: a cue sheet (or the .bin beside one) or a
// cdrdao table with more TRACK words than fit from its first track number to 99, a cue sheet
// whose first track number is above 66, a file larger than any sheet (1 MiB), or a Nero image
// that NeroImageFitsReader refuses.
bool ImageFitsReader(const QString& path);
// Why path cannot be opened as a disc image, as a user reads it ("no such file", ...); empty
// when it opens. Opens and closes the image; any thread.
QString DiscImageProblem(const QString& path);
// Disc images offered as drives (.cue/.bin, cdrdao .toc, .nrg), listed before the physical
// drives in the order named. Thread-safe.
void AddDiscImage(const QString& path);
QStringList DiscImages();
void ClearDiscImages();

}  // namespace trackmill
