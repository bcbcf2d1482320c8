// Secure reading of damaged discs through the real image reading and its damage maps.
#include "cd/SecureReader.h"

#include <gtest/gtest.h>

#include "cd/DiscSamples.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::TestDisc;
constexpr int32_t kDiscSectors = 800;

std::vector<int32_t> Range(int32_t from, int32_t to) {
  std::vector<int32_t> sectors;
  for (int32_t s = from; s <= to; ++s) sectors.push_back(s);
  return sectors;
}

std::vector<int32_t> DifferingSectors(const QByteArray& a, const QByteArray& b) {
  std::vector<int32_t> sectors;
  for (int32_t s = 0; s < kDiscSectors; ++s)
    if (a.mid(s * kCDSectorBytes, kCDSectorBytes) != b.mid(s * kCDSectorBytes, kCDSectorBytes)) sectors.push_back(s);
  return sectors;
}

class SecureReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { disc_ = new TestDisc({QString::number(kDiscSectors)}); }
  static void TearDownTestSuite() { delete disc_; }
  void TearDown() override { ClearDiscImages(); }

  std::shared_ptr<CdDrive> OpenWithMap(const QByteArray& map) { return OpenWithDamageMap(*disc_, map); }
  static TestDisc* disc_;
};
TestDisc* SecureReaderTest::disc_ = nullptr;

TEST_F(SecureReaderTest, ProvesWhatCanBeCorrectedAndReportsWhatCannot) {
  struct Case {
    const char* map;
    std::vector<int32_t> wrong;     // sectors the copy may differ in (a fault re-reading cannot see)
    std::vector<int32_t> unproven;  // and those it reports
    std::vector<int32_t> unreadable;
    bool fastReadsDamage;           // a single read returns damaged data
  };
  const Case cases[] = {
      {"", {}, {}, {}, false},
      {"c2 yes\nrandom 100-104\n", {}, {}, {}, true},
      {"random 100-104 bytes=64\n", {}, {}, {}, true},
      {"c2 yes\nrandom 100-104 c2=no\n", {}, {}, {}, true},
      {"stable 50 bytes=7\n", {50}, {}, {}, true},
      {"unreadable 200-201\n", Range(200, 201), Range(200, 201), Range(200, 201), true},
      {"flaky 300 fail=3\n", {}, {}, {}, true},
      {"cache 1000\nrandom 10-12\n", {}, {}, {}, true},
      {"random 100 bytes=2352\n", {100}, {100}, {}, true},
      {"c2 yes\nrandom 5\nrandom 400 bytes=2352 c2=no\nunreadable 450\nflaky 460 fail=2\nstable 470\n",
       {400, 450, 470}, {400, 450}, {450}, true},
      {"random 0\nrandom 799\n", {}, {}, {}, true},
  };
  const QByteArray correct = disc_->ExpectedTrack(1);
  ASSERT_EQ(correct.size(), kDiscSectors * kCDSectorBytes);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.map);
    auto drive = OpenWithMap(c.map);
    ASSERT_TRUE(drive);
    QByteArray fast(correct.size(), 0);
    std::vector<uint8_t> sectors(size_t(76) * kCDSectorBytes);
    bool fastOk = true;
    for (int32_t s = 0; s < kDiscSectors; s += 75)
      fastOk = ReadDiscSamples(*drive, sectors, qint64(s) * 588, qint64(std::min(75, kDiscSectors - s)) * 588,
                               qint64(kDiscSectors) * 588, fast.data() + qsizetype(s) * kCDSectorBytes) &&
               fastOk;
    EXPECT_EQ(!fastOk || fast != correct, c.fastReadsDamage);

    drive = OpenWithMap(c.map);  // a fresh drive: no cache, no reads counted
    SecureReader reader(*drive, {}, kDiscSectors);
    QByteArray copy(correct.size(), 'x'), test(correct.size(), 'x');
    ASSERT_TRUE(reader.Read(0, kDiscSectors, reinterpret_cast<uint8_t*>(copy.data()),
                            reinterpret_cast<uint8_t*>(test.data())));
    EXPECT_EQ(DifferingSectors(copy, correct), c.wrong);
    EXPECT_EQ(reader.Totals().unproven, c.unproven);
    EXPECT_EQ(reader.Totals().unreadable, c.unreadable);
    for (int32_t s : c.unreadable) EXPECT_EQ(copy.mid(s * kCDSectorBytes, kCDSectorBytes), QByteArray(kCDSectorBytes, 0));
    // The test pass agrees with the copy wherever the copy is proven.
    std::vector<int32_t> testDiffers = DifferingSectors(copy, test);
    for (int32_t s : testDiffers) EXPECT_TRUE(std::count(c.unproven.begin(), c.unproven.end(), s)) << s;
    // Only a fault that no re-read sees costs no re-read.
    const bool unseen = std::string(c.map).empty() || std::string(c.map).starts_with("stable");
    EXPECT_EQ(reader.Totals().rereads == 0, unseen);
  }
}

TEST_F(SecureReaderTest, RetriesStopAtTheLimitAndRunsPastTheDiscAreRefused) {
  auto drive = OpenWithMap("random 30 bytes=2352\n");
  SecureReader limited(*drive, {.maxRetries = 3}, kDiscSectors);
  std::vector<uint8_t> copy(size_t(kSecureBlockSectors) * kCDSectorBytes);
  ASSERT_TRUE(limited.Read(27, kSecureBlockSectors, copy.data()));
  EXPECT_EQ(limited.Totals().rereads, 3u);
  EXPECT_EQ(limited.Totals().unproven, std::vector<int32_t>{30});
  EXPECT_FALSE(limited.Read(kDiscSectors - 1, 2, copy.data()));  // past the disc's end
}

}  // namespace
}  // namespace trackmill
