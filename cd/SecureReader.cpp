#include "cd/SecureReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace trackmill {
namespace {

constexpr int kSampleBytes = 4;
constexpr int kSamplesInSector = kCDSectorBytes / kSampleBytes;

uint32_t Checksum(const std::vector<uint8_t>& bytes) {
  return uint32_t(crc32(0L, bytes.data(), uInt(bytes.size())));
}

bool SampleFlagged(const std::vector<uint8_t>& c2, size_t byte) {
  if (c2.empty()) return false;
  // A sample's four bytes lie in one half of one C2 byte.
  const uint8_t bits = c2[byte / 8] & (byte % 8 == 0 ? 0xF0 : 0x0F);
  return bits != 0;
}

}  // namespace

SecureReader::SecureReader(const CdDrive& drive, SecureReadOptions options, int32_t discSectors)
    : drive_(drive),
      options_(options),
      discSectors_(discSectors),
      bypass_(options.defeatCache && drive.CanBypassCache()),
      c2_(options.useC2 && drive.HasC2()) {}

SecureReader::Pass SecureReader::ReadBlock(int32_t lba, int32_t count, bool bypass) {
  Pass pass;
  pass.lba = lba;
  pass.bytes.resize(size_t(count) * kCDSectorBytes);
  if (c2_) pass.c2.resize(size_t(count) * kC2BytesPerSector);
  const SectorRead read = drive_.ReadSectors(lba, uint32_t(count), pass.bytes.data(), pass.bytes.size(),
                                             {bypass, std::span(pass.c2.data(), pass.c2.size())});
  if (read.ok && read.bytes >= pass.bytes.size()) {
    pass.ok = true;
    pass.sectorRead.assign(size_t(count), true);
    if (!read.c2) pass.c2.clear();
    return pass;
  }
  return ReadSectorBySector(lba, count, bypass);
}

SecureReader::Pass SecureReader::ReadSectorBySector(int32_t lba, int32_t count, bool bypass) {
  Pass pass;
  pass.lba = lba;
  pass.ok = true;
  pass.sectorRead.assign(size_t(count), false);
  pass.bytes.assign(size_t(count) * kCDSectorBytes, 0);
  if (c2_) pass.c2.assign(size_t(count) * kC2BytesPerSector, 0);
  for (int32_t i = 0; i < count; ++i) {
    uint8_t* bytes = pass.bytes.data() + size_t(i) * kCDSectorBytes;
    std::span<uint8_t> c2;
    if (c2_) c2 = std::span(pass.c2.data() + size_t(i) * kC2BytesPerSector, size_t(kC2BytesPerSector));
    const SectorRead read = drive_.ReadSectors(lba + i, 1, bytes, kCDSectorBytes, {bypass, c2});
    pass.sectorRead[size_t(i)] = read.ok && read.bytes >= size_t(kCDSectorBytes);
    if (!pass.sectorRead[size_t(i)]) pass.ok = false;
    if (read.pastMedium) {
      pass.pastMedium = true;
      break;
    }
  }
  return pass;
}

void SecureReader::DefeatCacheFor(int32_t lba, int32_t count) {
  if (bypass_ || !options_.defeatCache) return;
  // Reading far away leaves the drive's cache (and its read-ahead) holding other sectors.
  int32_t far = -1;
  if (lba + count + kCacheDefeatSectors + 1 <= discSectors_)
    far = lba + count + kCacheDefeatSectors;
  else if (lba - kCacheDefeatSectors - 1 >= 0)
    far = lba - kCacheDefeatSectors - 1;
  if (far < 0) return;  // a disc this short has nothing far enough away
  uint8_t sector[kCDSectorBytes];
  drive_.ReadSectors(far, 1, sector, sizeof sector);
}

bool SecureReader::Flagged(const Pass& pass) {
  return std::any_of(pass.c2.begin(), pass.c2.end(), [](uint8_t b) { return b != 0; });
}

bool SecureReader::Read(int32_t lba, int32_t count, uint8_t* copy, uint8_t* test) {
  if (lba < 0 || count < 0 || int64_t(lba) + count > discSectors_) return false;
  struct Tested {
    int32_t lba;
    int32_t count;
    bool trusted;  // read whole and without a C2 flag
    uint32_t checksum;
  };
  std::vector<Tested> tested;
  tested.reserve(size_t(count / kSecureBlockSectors + 1));
  size_t verified = 0;
  const auto verify = [&](const Tested& block) {
    Pass pass = ReadBlock(block.lba, block.count, bypass_);
    uint8_t* to = copy + size_t(block.lba - lba) * kCDSectorBytes;
    uint8_t* testTo = test ? test + size_t(block.lba - lba) * kCDSectorBytes : nullptr;
    if (block.trusted && pass.ok && !Flagged(pass) && Checksum(pass.bytes) == block.checksum) {
      std::memcpy(to, pass.bytes.data(), pass.bytes.size());
      if (testTo) std::memcpy(testTo, pass.bytes.data(), pass.bytes.size());
      return;
    }
    Resolve(block.lba, block.count, std::move(pass), to, testTo);
  };
  // Without a bypass the test pass runs far enough ahead that the verifying read of a block
  // no longer finds it in the cache.
  const int32_t lead = (bypass_ || !options_.defeatCache) ? 0 : kCacheDefeatSectors;
  for (int32_t at = lba; at < lba + count; at += kSecureBlockSectors) {
    const int32_t n = std::min<int32_t>(kSecureBlockSectors, lba + count - at);
    Pass pass = ReadBlock(at, n, bypass_);
    if (pass.pastMedium) return false;
    tested.push_back({at, n, pass.ok && !Flagged(pass), pass.ok ? Checksum(pass.bytes) : 0});
    while (verified < tested.size() && tested[verified].lba + tested[verified].count + lead <= at + n)
      verify(tested[verified++]);
  }
  if (verified < tested.size()) DefeatCacheFor(tested[verified].lba, lba + count - tested[verified].lba);
  while (verified < tested.size()) verify(tested[verified++]);
  return true;
}

void SecureReader::Resolve(int32_t lba, int32_t count, Pass first, uint8_t* copy, uint8_t* test) {
  std::vector<Pass> reads;
  reads.push_back(std::move(first));
  std::vector<bool> proven(size_t(count), false);
  std::vector<uint32_t> values;
  std::vector<int> votes;
  // The vote on one sample; true when proven. winner/last receive the value most reads give
  // and the one the latest read gave (0 when no read gave one).
  const auto vote = [&](int32_t sector, int sample, uint32_t* winner, uint32_t* last) {
    values.clear();
    votes.clear();
    *winner = *last = 0;
    for (const Pass& read : reads) {
      const int32_t at = sector - read.lba;
      if (at < 0 || at >= int32_t(read.sectorRead.size()) || !read.sectorRead[size_t(at)]) continue;
      const size_t byte = size_t(at) * kCDSectorBytes + size_t(sample) * kSampleBytes;
      uint32_t value;
      std::memcpy(&value, read.bytes.data() + byte, kSampleBytes);
      *last = value;
      if (SampleFlagged(read.c2, byte)) continue;
      const auto it = std::find(values.begin(), values.end(), value);
      if (it == values.end()) {
        values.push_back(value);
        votes.push_back(1);
      } else {
        ++votes[size_t(it - values.begin())];
      }
    }
    if (values.empty()) {
      *winner = *last;  // every read of it flagged: the latest is as good as any
      return false;
    }
    const size_t best = size_t(std::max_element(votes.begin(), votes.end()) - votes.begin());
    *winner = values[best];
    const int others = std::count(votes.begin(), votes.end(), votes[best]);
    return votes[best] >= 2 && others == 1;
  };
  const auto sectorProven = [&](int32_t i) {
    uint32_t winner, last;
    for (int s = 0; s < kSamplesInSector; ++s)
      if (!vote(lba + i, s, &winner, &last)) return false;
    return true;
  };
  for (int attempt = 0;; ++attempt) {
    int32_t from = count, to = -1;
    for (int32_t i = 0; i < count; ++i) {
      if (!proven[size_t(i)]) proven[size_t(i)] = sectorProven(i);
      if (!proven[size_t(i)]) from = std::min(from, i), to = i;
    }
    if (to < 0 || attempt >= options_.maxRetries) break;
    // Only the sectors still in doubt are read again.
    DefeatCacheFor(lba + from, to - from + 1);
    reads.push_back(ReadBlock(lba + from, to - from + 1, bypass_));
    ++totals_.rereads;
  }
  for (int32_t i = 0; i < count; ++i) {
    bool everRead = false;
    for (const Pass& read : reads) {
      const int32_t at = lba + i - read.lba;
      if (at >= 0 && at < int32_t(read.sectorRead.size()) && read.sectorRead[size_t(at)]) everRead = true;
    }
    uint8_t* to = copy + size_t(i) * kCDSectorBytes;
    uint8_t* testTo = test ? test + size_t(i) * kCDSectorBytes : nullptr;
    if (!everRead) {
      std::memset(to, 0, kCDSectorBytes);
      if (testTo) std::memset(testTo, 0, kCDSectorBytes);
      totals_.unreadable.push_back(lba + i);
      totals_.unproven.push_back(lba + i);
      continue;
    }
    bool allProven = true;
    for (int s = 0; s < kSamplesInSector; ++s) {
      uint32_t winner, last;
      const bool ok = vote(lba + i, s, &winner, &last);
      allProven = allProven && ok;
      std::memcpy(to + s * kSampleBytes, &winner, kSampleBytes);
      if (testTo) std::memcpy(testTo + s * kSampleBytes, ok ? &winner : &last, kSampleBytes);
    }
    if (!allProven) totals_.unproven.push_back(lba + i);
  }
}

}  // namespace trackmill
