#include <gtest/gtest.h>

#include <QByteArray>
#include <cstdlib>

#include "verify/ctdb/Crc32.h"
#include "verify/ctdb/CtdbToc.h"
#include "verify/ctdb/ReedSolomon.h"

using namespace trackmill::ctdb;

namespace {

std::vector<uint32_t> Symbols(const char* text) {
  std::vector<uint32_t> symbols;
  for (const char* c = text; *c; ++c) symbols.push_back(uint8_t(*c));
  return symbols;
}

// The seeded subtractive generator the published 16-bit vectors were drawn with.
class SeededBytes {
 public:
  explicit SeededBytes(int seed) {
    constexpr int kBig = 2147483647;
    int mj = 161803398 - std::abs(seed), mk = 1;
    state_[55] = mj;
    for (int i = 1; i < 55; ++i) {
      const int at = (21 * i) % 55;
      state_[at] = mk;
      mk = mj - mk;
      if (mk < 0) mk += kBig;
      mj = state_[at];
    }
    for (int round = 1; round < 5; ++round)
      for (int i = 1; i < 56; ++i) {
        state_[i] -= state_[1 + (i + 30) % 55];
        if (state_[i] < 0) state_[i] += kBig;
      }
  }
  uint8_t Next() {
    if (++next_ >= 56) next_ = 1;
    if (++nextTap_ >= 56) nextTap_ = 1;
    int value = state_[next_] - state_[nextTap_];
    if (value == 2147483647) --value;
    if (value < 0) value += 2147483647;
    state_[next_] = value;
    return uint8_t(value % 256);
  }

 private:
  int state_[56] = {};
  int next_ = 0, nextTap_ = 21;
};

}  // namespace

// The published vector of the 8-bit code, then two errors in the same codeword decoded back.
TEST(ReedSolomon, EncodesAndDecodesThePublishedEightBitVector) {
  const GaloisField field(8, 0x11D);
  const std::vector<uint32_t> checks = CheckSymbols(field, Symbols("my test data"), 4);
  EXPECT_EQ(checks, (std::vector<uint32_t>{255, 199, 140, 166}));

  std::vector<uint32_t> received = Symbols("my zest dada");
  received.insert(received.end(), checks.begin(), checks.end());
  const auto errors = LocateErrors(field, Syndromes(field, received, 4), int(received.size()));
  ASSERT_TRUE(errors.has_value());
  ASSERT_EQ(errors->size(), 2u);
  for (const SymbolError& error : *errors) received[received.size() - 1 - error.power] ^= error.mask;
  received.resize(12);
  EXPECT_EQ(received, Symbols("my test data"));

  // Three errors are beyond npar 4: the decoder refuses or the check catches a wrong word.
  std::vector<uint32_t> tooMany = Symbols("my zest dado");
  tooMany.insert(tooMany.end(), checks.begin(), checks.end());
  const auto refused = LocateErrors(field, Syndromes(field, tooMany, 4), int(tooMany.size()));
  if (refused) {
    for (const SymbolError& error : *refused) tooMany[tooMany.size() - 1 - error.power] ^= error.mask;
    tooMany.resize(12);
    EXPECT_NE(tooMany, Symbols("my test data"));
  }
}

// Check symbols turned into syndromes agree with the syndromes of the data itself, and random
// double errors in the 16-bit field are all located.
TEST(ReedSolomon, SixteenBitSyndromesAndDoubleErrors) {
  const GaloisField& field = GaloisField::Audio();
  std::vector<uint32_t> data(700);
  uint32_t seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (uint32_t& symbol : data) symbol = next() & 0xFFFF;
  EXPECT_EQ(SyndromesFromChecks(field, CheckSymbols(field, data, 16)), Syndromes(field, data, 16));

  // The published vector: 1024 seeded bytes as 512 little-endian words, four check words.
  SeededBytes bytes(2314);
  std::vector<uint32_t> words(512);
  for (uint32_t& word : words) {
    const uint32_t low = bytes.Next();
    word = low | uint32_t(bytes.Next()) << 8;
  }
  EXPECT_EQ(CheckSymbols(field, words, 4), (std::vector<uint32_t>{193 | 3 << 8, 222 | 151 << 8,
                                                                   9 | 2 << 8, 128 | 246 << 8}));

  for (int round = 0; round < 200; ++round) {
    std::vector<uint32_t> received = data;
    const int first = int(next() % data.size());
    const int second = (first + 1 + int(next() % (data.size() - 1))) % int(data.size());
    received[first] ^= 1 + next() % 0xFFFF;
    received[second] ^= 1 + next() % 0xFFFF;
    std::vector<uint32_t> syndromes = Syndromes(field, received, 4);
    const std::vector<uint32_t> clean = Syndromes(field, data, 4);
    for (int i = 0; i < 4; ++i) syndromes[i] ^= clean[i];
    const auto errors = LocateErrors(field, syndromes, int(data.size()));
    ASSERT_TRUE(errors.has_value()) << round;
    for (const SymbolError& error : *errors) received[data.size() - 1 - error.power] ^= error.mask;
    ASSERT_EQ(received, data) << round;
  }
}

TEST(Crc32, CheckValueJoiningAndCorrections) {
  const QByteArray text("123456789");
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.constData());
  EXPECT_EQ(Crc32Update(0, bytes, 9), 0xCBF43926u);
  EXPECT_EQ(Crc32Combine(Crc32Update(0, bytes, 4), Crc32Update(0, bytes + 4, 5), 5), 0xCBF43926u);

  QByteArray changed = text;
  changed[2] = char(changed[2] ^ 0x5A);
  changed[3] = char(changed[3] ^ 0x01);
  const uint8_t mask[2] = {0x5A, 0x01};
  EXPECT_EQ(Crc32Update(0, reinterpret_cast<const uint8_t*>(changed.constData()), 9),
            0xCBF43926u ^ Crc32Delta(mask, 2, 5));
}

// Plain, hidden-track, enhanced and data-first discs: the string, the stream and the id, which
// ignores the pregap and the data tracks.
TEST(CtdbToc, LayoutsAndTheirIds) {
  const auto plain = CtdbToc::Parse(QStringLiteral("0:16032:32072:47282:62810"));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->Text(), QStringLiteral("0:16032:32072:47282:62810"));
  EXPECT_EQ(plain->AudioTrackCount(), 4);
  EXPECT_EQ(plain->PregapSamples(), 0);
  EXPECT_EQ(plain->StreamSamples(), 62810 * 588);
  EXPECT_EQ(plain->Id().size(), 28);
  EXPECT_FALSE(plain->Id().contains(QLatin1Char('+')) || plain->Id().contains(QLatin1Char('/')));

  const auto hidden = CtdbToc::Parse(QStringLiteral("33:16032:32072:47282:62810"));
  ASSERT_TRUE(hidden);
  EXPECT_EQ(hidden->PregapSamples(), 33 * 588);
  EXPECT_EQ(hidden->TrackBeginSample(1), 16032 * 588);
  EXPECT_EQ(hidden->StreamSamples(), 62810 * 588);

  const auto enhanced = CtdbToc::Parse(QStringLiteral("0:14052:219617:-238840:256877"));
  ASSERT_TRUE(enhanced);
  EXPECT_EQ(enhanced->AudioTrackCount(), 3);
  EXPECT_EQ(enhanced->AudioEndSector(2), 238840 - 11400);
  EXPECT_EQ(enhanced->StreamSamples(), qint64(238840 - 11400) * 588);
  EXPECT_EQ(enhanced->Id(), CtdbToc::Parse(QStringLiteral("0:14052:219617:227440"))->Id());

  const auto dataFirst = CtdbToc::Parse(QStringLiteral("-0:11400:28955:192267"));
  ASSERT_TRUE(dataFirst);
  EXPECT_EQ(dataFirst->AudioTrackCount(), 2);
  EXPECT_EQ(dataFirst->StreamStartSector(), 11400);
  EXPECT_EQ(dataFirst->PregapSamples(), 0);
  EXPECT_EQ(dataFirst->StreamSamples(), qint64(192267 - 11400) * 588);
  EXPECT_EQ(dataFirst->Id(), CtdbToc::Parse(QStringLiteral("0:17555:180867"))->Id());
  EXPECT_NE(dataFirst->Id(), plain->Id());

  for (const char* bad : {"", "62810", "0:x:62810", "0:500:400", "0:-100:200:300", "0:100:-200"})
    EXPECT_FALSE(CtdbToc::Parse(QString::fromLatin1(bad))) << bad;
}
