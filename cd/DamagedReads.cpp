#include "cd/DamagedReads.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

namespace trackmill {
namespace {

constexpr uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;
// Stands for the read number in the choices of a stable fault, which no read changes.
constexpr uint64_t kEveryRead = ~0ull;

uint64_t Mix(uint64_t x) {
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A reproducible stream of choices for one sector, directive and read: written out here
// rather than taken from <random>, whose distributions differ between libraries.
class Choices {
 public:
  Choices(uint64_t seed, int32_t sector, uint64_t directive, uint64_t read)
      : state_(Mix(Mix(Mix(Mix(seed + kGoldenGamma) ^ uint32_t(sector)) ^ directive) ^ read)) {}
  // 0 .. n - 1 (n > 0); the bias of the modulo is far below what a test could see.
  uint32_t Below(uint32_t n) {
    state_ += kGoldenGamma;
    return uint32_t(Mix(state_) % n);
  }

 private:
  uint64_t state_;
};

}  // namespace

DamagedReads::DamagedReads(DamageMap map) : map_(std::move(map)) {}

bool DamagedReads::Apply(int32_t lba, uint32_t count, uint8_t* sectors, std::span<uint8_t> c2, bool bypassCache) {
  std::fill(c2.begin(), c2.end(), uint8_t(0));
  const int64_t last = int64_t(lba) + count - 1;
  std::vector<const DamageRange*> touching;
  for (const DamageRange& range : map_.ranges)
    if (range.firstSector <= last && range.lastSector >= lba) touching.push_back(&range);
  if (touching.empty() && map_.cacheSectors == 0) return true;
  const bool withFlags = c2.size() >= size_t(count) * kC2BytesPerSector;
  std::vector<const DamageRange*> covering;
  bool failed = false;
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t sector = int32_t(lba + int64_t(i));
    covering.clear();
    for (const DamageRange* range : touching)
      if (range->Covers(sector)) covering.push_back(range);
    const DiscRead read = ReadThroughCache(sector, covering, bypassCache);
    failed = failed || read.failed;
    if (!failed && !covering.empty())
      Damage(sector, read, covering, sectors + size_t(i) * kCDSectorBytes,
             withFlags ? c2.data() + size_t(i) * kC2BytesPerSector : nullptr);
  }
  return !failed;
}

DamagedReads::DiscRead DamagedReads::ReadFromDisc(int32_t sector, const std::vector<const DamageRange*>& ranges) {
  DiscRead read;
  if (ranges.empty()) return read;
  uint32_t& reads = discReads_[sector];
  read.readNumber = reads;
  if (reads < UINT32_MAX) ++reads;
  for (const DamageRange* range : ranges) {
    if (range->kind == DamageRange::Kind::Unreadable ||
        (range->kind == DamageRange::Kind::Flaky && read.readNumber < range->failingReads))
      read.failed = true;
  }
  return read;
}

DamagedReads::DiscRead DamagedReads::ReadThroughCache(int32_t sector, const std::vector<const DamageRange*>& ranges,
                                                      bool bypassCache) {
  if (map_.cacheSectors == 0) return ReadFromDisc(sector, ranges);
  const auto cached = cache_.find(sector);
  if (cached != cache_.end()) {
    cacheOrder_.splice(cacheOrder_.begin(), cacheOrder_, cached->second.position);
    // What the drive reads past its cache replaces what it kept.
    if (bypassCache) cached->second.read = ReadFromDisc(sector, ranges);
    return cached->second.read;
  }
  const DiscRead read = ReadFromDisc(sector, ranges);
  cacheOrder_.push_front(sector);
  cache_[sector] = CacheEntry{read, cacheOrder_.begin()};
  if (cache_.size() > map_.cacheSectors) {
    cache_.erase(cacheOrder_.back());
    cacheOrder_.pop_back();
  }
  return read;
}

void DamagedReads::Damage(int32_t sector, DiscRead read, const std::vector<const DamageRange*>& ranges,
                          uint8_t* bytes, uint8_t* flags) const {
  // Every wrong byte is set against the correct one, so it is wrong whatever other faults
  // chose the same byte.
  std::array<uint8_t, kCDSectorBytes> correct;
  std::memcpy(correct.data(), bytes, correct.size());
  std::array<uint16_t, kCDSectorBytes> positions;
  for (const DamageRange* range : ranges) {
    const bool random = range->kind == DamageRange::Kind::Random;
    if (!random && range->kind != DamageRange::Kind::Stable) continue;
    const auto directive = uint64_t(range - map_.ranges.data());
    Choices choices(map_.seed, sector, directive, random ? read.readNumber : kEveryRead);
    const bool flagged = flags && random && map_.driveReportsC2 && range->flaggedByC2.value_or(true);
    std::iota(positions.begin(), positions.end(), uint16_t(0));
    // The first byteCount steps of a shuffle: that many distinct positions.
    for (int k = 0; k < range->byteCount; ++k) {
      std::swap(positions[size_t(k)], positions[size_t(k) + choices.Below(uint32_t(kCDSectorBytes - k))]);
      const uint16_t at = positions[size_t(k)];
      bytes[at] = uint8_t(correct[at] ^ (1 + choices.Below(255)));
      if (flagged) flags[at / 8] |= uint8_t(0x80 >> (at % 8));
    }
  }
}

}  // namespace trackmill
