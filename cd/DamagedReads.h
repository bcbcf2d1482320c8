#pragma once
#include <cstdint>
#include <list>
#include <span>
#include <unordered_map>
#include <vector>

#include "cd/DamageMap.h"
#include "cd/DriveTypes.h"

// A damage map at work: turns the correct sectors an image read gave into what a drive
// reading a damaged disc would have returned. Every choice is a function of the map's seed,
// the sector, the directive and how often that sector was read from the disc, so the same
// map gives the same reads on every run.
//
// The drive cache (cache N) keeps what each of the last N sectors read returned, as the
// number of the read that gave it: a cached sector is rebuilt from the same choices, so it
// returns the same bytes, the same C2 flags or the same failure. A read of a cached sector
// does not reach the disc (a flaky sector's count does not move) unless it bypasses the cache.
//
// Not thread-safe: the open image that owns it serialises the reads.
namespace trackmill {

class DamagedReads {
 public:
  explicit DamagedReads(DamageMap map);

  // Damages count sectors from sector lba, read correctly into sectors (2352 bytes each).
  // c2 (empty, or 294 bytes a sector: one bit a byte, the first byte in the top bit) receives
  // the drive's C2 pointers, all clear when the drive reports none. False when the read fails
  // with an I/O error: a sector of it is unreadable, a flaky one still failing, or one whose
  // cached read failed. Every sector of a read counts as read (and is cached), failing or not.
  bool Apply(int32_t lba, uint32_t count, uint8_t* sectors, std::span<uint8_t> c2, bool bypassCache);

  bool ReportsC2() const { return map_.driveReportsC2; }
  const DamageMap& Map() const { return map_; }

 private:
  // What one read of a sector from the disc gave.
  struct DiscRead {
    uint32_t readNumber = 0;  // 0 for the sector's first read from the disc
    bool failed = false;
  };
  DiscRead ReadFromDisc(int32_t sector, const std::vector<const DamageRange*>& ranges);
  DiscRead ReadThroughCache(int32_t sector, const std::vector<const DamageRange*>& ranges, bool bypassCache);
  void Damage(int32_t sector, DiscRead read, const std::vector<const DamageRange*>& ranges, uint8_t* bytes,
              uint8_t* flags) const;

  const DamageMap map_;
  std::unordered_map<int32_t, uint32_t> discReads_;  // reads from the disc of damaged sectors
  // The cache: most recently read sector first.
  struct CacheEntry {
    DiscRead read;
    std::list<int32_t>::iterator position;
  };
  std::list<int32_t> cacheOrder_;
  std::unordered_map<int32_t, CacheEntry> cache_;
};

}  // namespace trackmill
