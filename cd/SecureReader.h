#pragma once
#include <cstdint>
#include <vector>

#include "cd/Drive.h"

// Secure reading of a run of sectors: every sector is proven by two reads that agree.
//
// The sectors are read in blocks of kSecureBlockSectors, each block twice: a test pass
// (only its checksum is kept) and a verifying pass with the drive's cache defeated, so the
// second read comes from the disc again. The cache is defeated by a cache-bypassing read
// where the drive supports it, else by having read at least kCacheDefeatSectors elsewhere in
// between: the test pass runs kCacheDefeatSectors ahead of the verifying pass where the run
// is that long, and a shorter run reads that far away before it is verified.
// A block whose checksums differ, whose read failed, or in which the drive's C2 pointers
// flag a byte, is re-read (cache defeated each time) up to MaxRetries times. Each sample
// then takes the value most reads agree on; C2-flagged samples give no vote. A sample is
// proven when its value has at least two votes and more than any other; a sector whose every
// sample is proven is not re-read further. A sector that never reads is written as silence.
// An undamaged run costs two reads of each sector and a checksum.
//
// Not thread-safe; the drive must outlive the reader. Reads are counted into Totals().
namespace trackmill {

inline constexpr int kSecureBlockSectors = 27;     // about 64 KB
inline constexpr int kCacheDefeatSectors = 3600;   // 8 MB: more than a drive caches

struct SecureReadOptions {
  int maxRetries = 20;    // re-reads of a block that disagrees
  bool defeatCache = true;
  bool useC2 = true;      // only where the drive reports C2 pointers
};

struct SecureReadTotals {
  uint64_t rereads = 0;                // reads beyond the test and the verifying pass
  std::vector<int32_t> unproven;       // sectors with a sample not proven, ascending
  std::vector<int32_t> unreadable;     // sectors no read returned, ascending (written as silence)
};

class SecureReader {
 public:
  // discSectors: sectors on the disc (from 0), the room for reads that defeat the cache.
  SecureReader(const CdDrive& drive, SecureReadOptions options, int32_t discSectors);

  // Reads count sectors from lba into copy (count x 2352 bytes). test, when given, receives
  // what the test pass proved: the same as copy, but an unproven sample as the last read of
  // it gave it. False when the run lies outside the disc or the medium ends before it does
  // (an image cut short: no re-read gives those sectors).
  bool Read(int32_t lba, int32_t count, uint8_t* copy, uint8_t* test = nullptr);

  const SecureReadTotals& Totals() const { return totals_; }

 private:
  // One read of a run of sectors; a read that failed as a whole is repeated sector by sector.
  struct Pass {
    int32_t lba = 0;
    bool ok = false;                // every sector read
    std::vector<bool> sectorRead;   // by sector of the run
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> c2;        // empty when C2 is not used
    bool pastMedium = false;        // a sector lies beyond what the medium holds
  };
  Pass ReadBlock(int32_t lba, int32_t count, bool bypass);
  Pass ReadSectorBySector(int32_t lba, int32_t count, bool bypass);
  void DefeatCacheFor(int32_t lba, int32_t count);
  static bool Flagged(const Pass& pass);
  // Re-reads a block whose two passes did not agree; first: what the verifying pass gave.
  void Resolve(int32_t lba, int32_t count, Pass first, uint8_t* copy, uint8_t* test);

  SecureReadTotals totals_;

  const CdDrive& drive_;
  const SecureReadOptions options_;
  const int32_t discSectors_;
  const bool bypass_;
  const bool c2_;
};

}  // namespace trackmill
