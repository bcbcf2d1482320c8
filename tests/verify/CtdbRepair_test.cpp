#include <gtest/gtest.h>

#include <QtEndian>
#include <cstring>

#include "verify/ctdb/Crc32.h"
#include "verify/ctdb/CtdbRepair.h"
#include "verify/ctdb/ReedSolomon.h"
#include "CtdbTestDisc.h"

using namespace trackmill::ctdb;
using namespace trackmill::ctdb_test;

namespace {

uint32_t CrcOfWords(const std::vector<uint16_t>& words, qint64 from, qint64 to) {
  const std::vector<uint16_t> part(words.begin() + from, words.begin() + to);
  const std::vector<uint8_t> bytes = Bytes(part);
  return Crc32Update(0, bytes.data(), bytes.size());
}


}  // namespace

// The one pass agrees with the definitions: Horner syndromes of a column, the CRC ranges, and
// the syndromes and CRC at an offset from the kept edge rows.
TEST(CtdbStreamSums, OnePassMatchesTheDefinitions) {
  const GeneratedDisc disc(kHiddenTrackDisc);
  const std::vector<uint16_t> ours = disc.Stream(0);
  const CtdbStreamSums sums = Sum(disc.toc, ours);
  const qint64 pregapWords = 2 * disc.toc.PregapSamples();
  const int n = sums.StrideCount();
  ASSERT_EQ(n, int(2 * disc.toc.AudioSamples() / kStrideWords) - 2);
  const qint64 last = sums.LastStrideWords();

  for (int shift : {0, 1, -1, 1234, -3, 5879, -5879}) {
    SCOPED_TRACE(shift);
    // Reading `shift` samples further on is the pressing offset by -shift.
    const std::vector<uint16_t> shifted = disc.Stream(shift);
    for (int column : {0, 1, 2, 5000, 11759}) {
      std::vector<uint32_t> codeword;
      for (int j = 0; j < n; ++j)
        codeword.push_back(shifted[size_t(pregapWords + (j + 1) * kStrideWords + column)]);
      const std::vector<uint32_t> expected = Syndromes(GaloisField::Audio(), codeword, 16);
      const ColumnSyndromes got = sums.ShiftedSyndromes(column, shift);
      ASSERT_EQ(std::vector<uint32_t>(got.begin(), got.end()), expected) << column;
    }
    EXPECT_EQ(sums.DiscCrc(-shift),
              CrcOfWords(ours, pregapWords + kStrideWords + 2 * shift,
                         2 * disc.toc.StreamSamples() - last + 2 * shift));
  }
  EXPECT_EQ(sums.TrackCrc(0), CrcOfWords(ours, pregapWords + kStrideWords, 2 * 300 * 588));
  EXPECT_EQ(sums.TrackCrc(1), CrcOfWords(ours, 2 * 300 * 588, 2 * 700 * 588));
  EXPECT_EQ(sums.TrackCrc(2), CrcOfWords(ours, 2 * 700 * 588, 2 * disc.toc.StreamSamples() - last));

  CtdbStreamSums shortRip(disc.toc);
  shortRip.Add(Bytes(ours).data(), 1000);
  EXPECT_FALSE(shortRip.Finish());
  EXPECT_FALSE(CtdbStreamSums(CtdbToc({{0, false}}, 29)).Checkable());
}

struct RepairCase {
  const char* name;
  int offset;          // the rip's offset against the pressing
  std::vector<std::pair<qint64, qint64>> damage;  // [first, last) words after INDEX 01 to flip
  bool repairable;
};

// Damaged copies of a generated disc against the undamaged one's parity: found at the right
// offset, repaired to the bit when the damage is within the code's reach, left alone otherwise.
TEST(CtdbRepair, DamagedRipsAgainstTheirPressing) {
  const GeneratedDisc disc(kHiddenTrackDisc);
  const Reference reference = ReferenceOf(Sum(disc.toc, disc.Stream(0)));
  auto spread = [](int count, qint64 first, qint64 step) {
    std::vector<std::pair<qint64, qint64>> words;
    for (int i = 0; i < count; ++i) words.push_back({first + i * step, first + i * step + 1});
    return words;
  };
  // Nine whole rows but column 0: every other column beyond the code's eight.
  std::vector<std::pair<qint64, qint64>> nineRows;
  for (qint64 row = 2; row < 11; ++row) nineRows.push_back({row * kStrideWords + 1, (row + 1) * kStrideWords});
  const qint64 burstStart = 3 * kStrideWords + 500;
  const std::vector<RepairCase> cases = {
      {"no error", 0, {}, true},
      {"spread over many columns", 0, spread(3000, kStrideWords + 5, 383), true},
      {"a burst of 40 sectors", 0, {{burstStart, burstStart + 40 * 1176}}, true},
      {"errors in column 0", 0, spread(7, 2 * kStrideWords, 13 * kStrideWords), true},
      {"offset +1234", 1234, spread(300, 20000, 3001), true},
      {"offset -3", -3, {{burstStart, burstStart + 5 * 1176}}, true},
      {"too many errors", 0, nineRows, false},
  };
  for (const RepairCase& test : cases) {
    SCOPED_TRACE(test.name);
    const std::vector<uint16_t> undamaged = disc.Stream(test.offset);
    std::vector<uint16_t> ours = undamaged;
    const qint64 audioStart = 2 * disc.toc.PregapSamples() - 2 * test.offset;
    for (const auto& [first, last] : test.damage)
      for (qint64 w = first; w < last; ++w) ours[size_t(audioStart + w)] ^= uint16_t((0x1111 + w) | 1);
    const CtdbStreamSums sums = Sum(disc.toc, ours);

    const OffsetMatch match = FindOffset(sums, reference.column0, reference.crc);
    ASSERT_TRUE(match.found);
    EXPECT_EQ(match.offsetSamples, test.offset);
    EXPECT_EQ(match.hasErrors, !test.damage.empty());
    const RepairPlan plan = PlanRepair(sums, match.offsetSamples, reference.parity, 16, reference.crc);
    EXPECT_EQ(plan.repairable, test.repairable) << plan.failure.toStdString();
    if (!plan.repairable) {
      EXPECT_TRUE(plan.corrections.empty());
      continue;
    }
    std::vector<uint8_t> repaired = Bytes(ours);
    ApplyCorrections(plan.corrections, 0, repaired.data(), repaired.size());
    EXPECT_TRUE(repaired == Bytes(undamaged));
    qint64 flipped = 0;
    for (const auto& [first, last] : test.damage) flipped += last - first;
    EXPECT_EQ(qint64(plan.corrections.size()), flipped);
  }
}

// With npar 8 the search finds a pressing whose column 0 has three wrong words, not four, and
// the parity repairs four wrong words a column, not five.
TEST(CtdbRepair, LimitsOfTheSmallerCode) {
  const GeneratedDisc disc(kHiddenTrackDisc);
  const Reference reference = ReferenceOf(Sum(disc.toc, disc.Stream(0)));
  const std::vector<uint16_t> column0(reference.column0.begin(), reference.column0.begin() + 8);
  const std::vector<uint16_t> parity8(reference.parity.begin(),
                                      reference.parity.begin() + 8 * kStrideWords);
  const qint64 audioStart = 2 * disc.toc.PregapSamples();
  struct Case { int column0Errors, column1Errors; bool found, repairable; };
  for (const Case& test : {Case{3, 4, true, true}, Case{3, 5, true, false}, Case{4, 0, false, false}}) {
    SCOPED_TRACE(test.column0Errors * 10 + test.column1Errors);
    std::vector<uint16_t> ours = disc.Stream(0);
    for (int i = 0; i < test.column0Errors; ++i)
      ours[size_t(audioStart + (3 + 5 * i) * kStrideWords)] ^= uint16_t(0x77 + i);
    for (int i = 0; i < test.column1Errors; ++i)
      ours[size_t(audioStart + (2 + 7 * i) * kStrideWords + 1)] ^= 0x4321;
    const CtdbStreamSums sums = Sum(disc.toc, ours);
    const OffsetMatch match = FindOffset(sums, column0, reference.crc);
    EXPECT_EQ(match.found, test.found);
    if (!match.found) continue;
    EXPECT_EQ(match.offsetSamples, 0);
    EXPECT_EQ(PlanRepair(sums, 0, parity8, 8, reference.crc).repairable, test.repairable);
  }
}
