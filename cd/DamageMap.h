#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The damage map of a disc image: a text file beside the image, named like it with ".damage"
// appended, that makes the image read like a scratched disc in a drive with a cache and C2
// pointers (README, "Damaged disc images"). This file reads it; DamagedReads applies it.
//
// One directive a line, "#" starts a comment, sector numbers as reads address them, ranges
// "A-B" inclusive (or a single "A"):
//   seed N                             seed of every random choice (default 1)
//   random A-B [bytes=K] [c2=yes|no]   K bytes (default 16) wrong, chosen afresh on every read
//   stable A-B [bytes=K]               the same K bytes wrong on every read, never flagged
//   unreadable A-B                     every read that contains the sector fails
//   flaky A-B fail=K                   the first K reads fail, later ones are right
//   cache N                            the drive keeps the last N sectors it read
//   c2 yes|no                          whether the drive reports C2 pointers (default no)
// Plain values and functions; any thread.
namespace trackmill {

struct DamageRange {
  enum class Kind { Random, Stable, Unreadable, Flaky };
  Kind kind = Kind::Random;
  int32_t firstSector = 0;
  int32_t lastSector = 0;  // inclusive
  int byteCount = 16;      // random and stable: wrong bytes in each sector
  // Random: whether the drive's C2 pointers flag the wrong bytes; unset: they do when the
  // drive reports C2 at all.
  std::optional<bool> flaggedByC2;
  uint32_t failingReads = 0;  // flaky
  bool Covers(int32_t sector) const { return sector >= firstSector && sector <= lastSector; }
};

struct DamageMap {
  uint32_t seed = 1;
  uint32_t cacheSectors = 0;
  bool driveReportsC2 = false;
  std::vector<DamageRange> ranges;  // in the order of the file
  int directiveCount = 0;           // every directive line, seed, cache and c2 included
};

// What reading or parsing a map gave: a map, or the error (naming the file, and the line
// where one is at fault).
struct DamageMapResult {
  std::optional<DamageMap> map;
  QString error;
};

inline constexpr qint64 kMaxDamageMapBytes = 1024 * 1024;
inline constexpr int kMaxDamageRanges = 10000;
// More than any drive keeps; the model stores no audio, only what each cached read gave.
inline constexpr uint32_t kMaxCacheSectors = 100000;
// The last sector a read can address (99:59:74 less the lead-in).
inline constexpr int32_t kLastAddressableSector = 99 * 4500 + 59 * 75 + 74 - 150;

// Parses a map's text; fileName only names the file in errors ("FILE, line N: ...").
DamageMapResult ParseDamageMap(const QByteArray& text, const QString& fileName);

// The map's file for an image: imagePath + ".damage".
QString DamageMapPath(const QString& imagePath);
// Reads the map beside an image: no map and no error when there is no such file; an error
// when it cannot be read, is larger than kMaxDamageMapBytes, or does not parse.
DamageMapResult ReadDamageMap(const QString& imagePath);
// What the rip log and `toc` say of a map that applied: "Damage map: FILE (N directives)".
QString DamageMapLine(const QString& imagePath, const DamageMap& map);

}  // namespace trackmill
