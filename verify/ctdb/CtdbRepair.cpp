#include "verify/ctdb/CtdbRepair.h"

#include <QtEndian>
#include <algorithm>

#include "verify/ctdb/Crc32.h"
#include "verify/ctdb/ReedSolomon.h"

namespace trackmill::ctdb {
namespace {

std::vector<uint32_t> Difference(const ColumnSyndromes& ours, const uint16_t* reference,
                                 size_t stride, int count) {
  std::vector<uint32_t> delta(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) delta[size_t(i)] = ours[size_t(i)] ^ reference[size_t(i) * stride];
  return delta;
}

}  // namespace

OffsetMatch FindOffset(const CtdbStreamSums& sums, const std::vector<uint16_t>& referenceColumn0,
                       uint32_t referenceCrc) {
  const GaloisField& field = GaloisField::Audio();
  const int m = std::min<int>(int(referenceColumn0.size()), kMaxSyndromes);
  OffsetMatch match;
  if (m < 2 || !sums.Checkable()) return match;
  int best = m / 2;
  for (int offset = -kMaxOffsetSamples; offset <= kMaxOffsetSamples; ++offset) {
    const std::vector<uint32_t> delta =
        Difference(sums.ShiftedSyndromes(0, -offset), referenceColumn0.data(), 1, m);
    if (std::all_of(delta.begin(), delta.end(), [](uint32_t d) { return d == 0; })) {
      match = {true, offset, false};
      break;
    }
    const auto locator = ErrorLocator(field, delta);
    if (!locator) continue;
    const int degree = int(locator->size()) - 1;
    if (degree <= 0 || degree >= best) continue;
    if (int(LocatorRoots(field, *locator, sums.StrideCount(), degree).size()) != degree) continue;
    best = degree;
    match = {true, offset, true};
  }
  if (match.found && !match.hasErrors)
    match.hasErrors = sums.DiscCrc(match.offsetSamples) != referenceCrc;
  else if (match.found)
    match.hasErrors = true;
  return match;
}

RepairPlan PlanRepair(const CtdbStreamSums& sums, int offsetSamples,
                      const std::vector<uint16_t>& parity, int npar, uint32_t referenceCrc) {
  RepairPlan plan;
  if (npar < 2 || npar > kMaxSyndromes || parity.size() < size_t(npar) * kStrideWords) {
    plan.failure = QStringLiteral("parity data incomplete");
    return plan;
  }
  const GaloisField& field = GaloisField::Audio();
  const int n = sums.StrideCount();
  const qint64 firstWord = 2 * sums.PregapSamples() - 2 * qint64(offsetSamples);
  const qint64 streamWords = 2 * sums.StreamSamples();
  // The CRC's range at this offset ends here; corrections are charged to it by their distance.
  const qint64 crcEndWord = firstWord + qint64(kStrideWords) * (n + 1);
  uint32_t crc = sums.DiscCrc(offsetSamples);
  for (int column = 0; column < kStrideWords; ++column) {
    const std::vector<uint32_t> delta =
        Difference(sums.ShiftedSyndromes(column, -offsetSamples), parity.data() + column,
                   kStrideWords, npar);
    const auto errors = LocateErrors(field, delta, n);
    if (!errors) {
      plan.failure = QStringLiteral("too many errors in column %1").arg(column);
      plan.corrections.clear();
      return plan;
    }
    for (const SymbolError& error : *errors) {
      const qint64 row = n - 1 - error.power;
      const qint64 word = firstWord + (row + 1) * kStrideWords + column;
      if (word < 2 * sums.PregapSamples() || word >= streamWords) {
        plan.failure = QStringLiteral("correction outside the audio");
        plan.corrections.clear();
        return plan;
      }
      plan.corrections.push_back({word, uint16_t(error.mask)});
      uint8_t mask[2];
      qToLittleEndian(uint16_t(error.mask), mask);
      crc ^= Crc32Delta(mask, 2, uint64_t(2 * (crcEndWord - word - 1)));
    }
  }
  if (crc != referenceCrc) {
    plan.failure = QStringLiteral("corrected audio fails the disc CRC");
    plan.corrections.clear();
    return plan;
  }
  std::sort(plan.corrections.begin(), plan.corrections.end(),
            [](const WordCorrection& a, const WordCorrection& b) { return a.streamWord < b.streamWord; });
  plan.repairable = true;
  return plan;
}

void ApplyCorrections(const std::vector<WordCorrection>& corrections, qint64 streamByte,
                      uint8_t* pcm, size_t bytes) {
  const qint64 firstWord = streamByte / 2;
  auto it = std::lower_bound(corrections.begin(), corrections.end(), firstWord,
                             [](const WordCorrection& c, qint64 word) { return c.streamWord < word; });
  for (; it != corrections.end(); ++it) {
    const qint64 byte = 2 * it->streamWord - streamByte;
    if (byte >= qint64(bytes)) break;
    for (int half = 0; half < 2; ++half)
      if (byte + half >= 0 && byte + half < qint64(bytes))
        pcm[byte + half] ^= uint8_t(it->mask >> (8 * half));
  }
}

}  // namespace trackmill::ctdb
