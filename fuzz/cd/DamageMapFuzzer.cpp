// Feeds arbitrary text to the damage map reader, and puts every map it accepts to work on a
// few sectors around each of its ranges' ends, with and without the cache bypass: a map
// either parses into bounded values or names its line, and applying it stays within the
// sectors and C2 pointers it is given.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cd/DamagedReads.h"

using namespace trackmill;

namespace {
constexpr uint32_t kSectors = 3;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  DamageMapResult result = ParseDamageMap(text, QStringLiteral("fuzz.damage"));
  if (result.map.has_value() == !result.error.isEmpty()) std::abort();
  if (!result.map) {
    if (!result.error.startsWith(QStringLiteral("fuzz.damage, line "))) std::abort();
    return 0;
  }
  for (const DamageRange& range : result.map->ranges)
    if (range.firstSector < 0 || range.lastSector > kLastAddressableSector || range.firstSector > range.lastSector ||
        range.byteCount < 1 || range.byteCount > kCDSectorBytes)
      std::abort();
  DamagedReads reads(*result.map);
  std::vector<uint8_t> sectors(kSectors * kCDSectorBytes);
  std::vector<uint8_t> c2(kSectors * kC2BytesPerSector);
  int applied = 0;
  for (const DamageRange& range : result.map->ranges) {
    if (++applied > 20) break;
    for (const int32_t sector : {range.firstSector - 1, range.lastSector}) {
      if (sector < 0) continue;
      reads.Apply(sector, kSectors, sectors.data(), c2, applied % 2 == 0);
    }
  }
  return 0;
}
