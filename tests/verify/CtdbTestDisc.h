#pragma once
#include <QtEndian>
#include <gtest/gtest.h>

#include <vector>

#include "verify/ctdb/CtdbStreamSums.h"

// Generated discs and the database's data of them, for the parity tests.
namespace trackmill::ctdb_test {

using namespace trackmill::ctdb;


// Generated audio for a layout, with room on both sides for pressings offset by up to a
// stride; Stream(o) is the disc as read by a drive whose sample q is the reference's q + o.
struct GeneratedDisc {
  explicit GeneratedDisc(const CtdbToc& layout) : toc(layout) {
    words.resize(size_t(2 * (toc.StreamSamples() + 2 * kSlack)));
    uint32_t seed = 2423;
    for (uint16_t& word : words) word = uint16_t((seed = seed * 1664525u + 1013904223u) >> 16);
  }
  std::vector<uint16_t> Stream(int offset) const {
    const auto begin = words.begin() + 2 * (kSlack + offset);
    return {begin, begin + 2 * toc.StreamSamples()};
  }
  static constexpr int kSlack = 6000;
  CtdbToc toc;
  std::vector<uint16_t> words;
};

inline std::vector<uint8_t> Bytes(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> bytes(words.size() * 2);
  for (size_t i = 0; i < words.size(); ++i) qToLittleEndian(words[i], bytes.data() + 2 * i);
  return bytes;
}

// Summed in uneven pieces, as a rip hands its audio over.
inline CtdbStreamSums Sum(const CtdbToc& toc, const std::vector<uint16_t>& words) {
  CtdbStreamSums sums(toc);
  const std::vector<uint8_t> bytes = Bytes(words);
  size_t done = 0, piece = 1;
  while (done < bytes.size()) {
    const size_t count = std::min(piece, bytes.size() - done);
    sums.Add(bytes.data() + done, count);
    done += count;
    piece = piece * 7 + 3;
  }
  EXPECT_TRUE(sums.Finish());
  return sums;
}

struct Reference {
  std::vector<uint16_t> parity;  // 16 rows
  std::vector<uint16_t> column0;
  uint32_t crc = 0;
};

inline Reference ReferenceOf(const CtdbStreamSums& sums) {
  Reference reference;
  reference.parity.resize(size_t(kMaxSyndromes) * kStrideWords);
  for (int c = 0; c < kStrideWords; ++c)
    for (int i = 0; i < kMaxSyndromes; ++i)
      reference.parity[size_t(i) * kStrideWords + c] = sums.Syndromes(c)[i];
  reference.column0.assign(sums.Syndromes(0).begin(), sums.Syndromes(0).end());
  reference.crc = sums.DiscCrc(0);
  return reference;
}

// A hidden track of 40 sectors before three tracks.
inline const CtdbToc kHiddenTrackDisc({{40, false}, {300, false}, {700, false}}, 1043);

}  // namespace trackmill::ctdb_test
