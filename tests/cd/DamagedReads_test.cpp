// Damage maps through the real image reading: what every reader of the drive layer meets.
#include "cd/DamagedReads.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "cd/Drive.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::TestDisc;

struct Read {
  bool ok = false;
  QByteArray bytes;
  QByteArray c2;
  bool c2Reported = false;
};

std::vector<int> DifferingBytes(const QByteArray& a, const QByteArray& b) {
  std::vector<int> at;
  for (int i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) at.push_back(i);
  return at;
}

std::vector<int> FlaggedBytes(const QByteArray& c2) {
  std::vector<int> at;
  for (int i = 0; i < c2.size() * 8; ++i)
    if (uint8_t(c2[i / 8]) & (0x80 >> (i % 8))) at.push_back(i);
  return at;
}

class DamagedReadsTest : public ::testing::Test {
 protected:
  // One image for every case: long enough to read 3,600 sectors away from the damage.
  static void SetUpTestSuite() { disc_ = new TestDisc({"4000"}); }
  static void TearDownTestSuite() { delete disc_; }
  void TearDown() override { ClearDiscImages(); }

  std::shared_ptr<CdDrive> OpenWithMap(const QByteArray& map) { return OpenWithDamageMap(*disc_, map); }
  static Read ReadAt(const CdDrive& drive, int32_t lba, uint32_t count, bool bypassCache = false) {
    Read read;
    read.bytes.resize(qsizetype(count) * kCDSectorBytes);
    read.c2.resize(qsizetype(count) * kC2BytesPerSector);
    const SectorRead result =
        drive.ReadSectors(lba, count, reinterpret_cast<uint8_t*>(read.bytes.data()), size_t(read.bytes.size()),
                          {bypassCache, std::span(reinterpret_cast<uint8_t*>(read.c2.data()), size_t(read.c2.size()))});
    read.ok = result.ok;
    read.c2Reported = result.c2;
    return read;
  }
  static QByteArray Correct(int32_t lba, uint32_t count) {
    return disc_->ExpectedTrack(1).mid(qsizetype(lba) * kCDSectorBytes, qsizetype(count) * kCDSectorBytes);
  }
  static TestDisc* disc_;
};
TestDisc* DamagedReadsTest::disc_ = nullptr;

TEST_F(DamagedReadsTest, WrongBytesAreChangedAndFlaggedAsEachDirectiveSays) {
  struct Case {
    const char* map;
    int wrongBytes;
    bool freshOnEveryRead;
    bool flagged;
    bool driveHasC2;
  };
  const Case cases[] = {
      {"c2 yes\nrandom 100 bytes=5\n", 5, true, true, true},
      {"c2 yes\nrandom 100 c2=no\n", 16, true, false, true},  // an error the drive's C2 misses
      {"random 100 bytes=2352\n", 2352, true, false, false},  // a drive without C2
      {"c2 yes\nstable 100 bytes=7\n", 7, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.map);
    const auto drive = OpenWithMap(c.map);
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->HasC2(), c.driveHasC2);
    const Read first = ReadAt(*drive, 99, 3);
    const Read second = ReadAt(*drive, 99, 3);
    ASSERT_TRUE(first.ok && second.ok);
    EXPECT_EQ(first.c2Reported, c.driveHasC2);
    for (const Read& read : {first, second}) {
      // Only sector 100, the middle one of the read, is wrong.
      std::vector<int> wrong = DifferingBytes(read.bytes, Correct(99, 3));
      ASSERT_EQ(int(wrong.size()), c.wrongBytes);
      EXPECT_GE(wrong.front(), kCDSectorBytes);
      EXPECT_LT(wrong.back(), 2 * kCDSectorBytes);
      EXPECT_EQ(FlaggedBytes(read.c2), c.flagged ? wrong : std::vector<int>{});
    }
    EXPECT_EQ(first.bytes != second.bytes, c.freshOnEveryRead);
  }
}

TEST_F(DamagedReadsTest, UnreadableSectorsFailEveryReadAndFlakyOnesTheirFirstReads) {
  const auto drive = OpenWithMap("unreadable 200\nflaky 300-301 fail=2  # a sector that reads third time lucky\n");
  ASSERT_TRUE(drive);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(ReadAt(*drive, 200, 1).ok);
    EXPECT_FALSE(ReadAt(*drive, 150, 75).ok);
  }
  EXPECT_EQ(ReadAt(*drive, 201, 75).bytes, Correct(201, 75));
  EXPECT_EQ(ReadAt(*drive, 125, 75).bytes, Correct(125, 75));
  // Each sector counts its own reads, those of a failing read too.
  EXPECT_FALSE(ReadAt(*drive, 299, 3).ok);
  EXPECT_FALSE(ReadAt(*drive, 301, 1).ok);
  EXPECT_FALSE(ReadAt(*drive, 300, 1).ok);
  const Read healed = ReadAt(*drive, 299, 3);
  ASSERT_TRUE(healed.ok);
  EXPECT_EQ(healed.bytes, Correct(299, 3));
}

TEST_F(DamagedReadsTest, TheCacheRepeatsAnEarlierReadUntilBypassedOrPushedOut) {
  const auto drive = OpenWithMap("cache 1000\nc2 yes\nrandom 10\nflaky 20 fail=1\n");
  ASSERT_TRUE(drive);
  ASSERT_TRUE(drive->CanBypassCache());
  const Read first = ReadAt(*drive, 10, 1);
  const Read cached = ReadAt(*drive, 10, 1);
  EXPECT_EQ(cached.bytes, first.bytes);
  EXPECT_EQ(cached.c2, first.c2);
  const Read bypassing = ReadAt(*drive, 10, 1, true);
  EXPECT_NE(bypassing.bytes, first.bytes);
  EXPECT_EQ(ReadAt(*drive, 10, 1).bytes, bypassing.bytes);  // what the drive read last is cached
  // A cached failure fails again; only a read that reaches the disc gets past it.
  EXPECT_FALSE(ReadAt(*drive, 20, 1).ok);
  EXPECT_FALSE(ReadAt(*drive, 20, 1).ok);
  EXPECT_EQ(ReadAt(*drive, 20, 1, true).bytes, Correct(20, 1));
  // 3,600 sectors read elsewhere push sector 10 out of the cache.
  for (int32_t lba = 100; lba < 3700; lba += 75) ASSERT_TRUE(ReadAt(*drive, lba, 75).ok);
  const Read afterwards = ReadAt(*drive, 10, 1);
  EXPECT_NE(afterwards.bytes, bypassing.bytes);
  EXPECT_NE(afterwards.bytes, Correct(10, 1));
}

TEST_F(DamagedReadsTest, TheSameMapGivesTheSameReadsOnEveryRun) {
  const auto reads = [&](const QByteArray& map) {
    const auto drive = OpenWithMap(map);
    QByteArray bytes;
    for (int i = 0; i < 3; ++i) bytes += ReadAt(*drive, 40, 2).bytes;
    return bytes;
  };
  const QByteArray once = reads("seed 7\nrandom 40-41 bytes=100\n");
  EXPECT_EQ(reads("seed 7\nrandom 40-41 bytes=100\n"), once);
  EXPECT_NE(reads("seed 8\nrandom 40-41 bytes=100\n"), once);
}

TEST_F(DamagedReadsTest, AMalformedMapRefusesTheImageNamingFileAndLine) {
  struct Case {
    const char* map;
    int line;
    const char* says;
  };
  const Case cases[] = {
      {"randum 5\n", 1, "unknown directive \"randum\""},
      {"# comment\n\nrandom 5-3\n", 3, "ends before it starts"},
      {"random 5 bytes=0\n", 1, "bytes= takes 1 to 2352"},
      {"random 5 bytes=2353\n", 1, "bytes= takes 1 to 2352"},
      {"random 5 bytes=3 bytes=4\n", 1, "given twice"},
      {"stable 5 c2=yes\n", 1, "unexpected \"c2=yes\""},
      {"flaky 5\n", 1, "flaky needs fail=K"},
      {"unreadable\n", 1, "no sector range"},
      {"random 1-449850\n", 1, "bad sector range"},
      {"random 99999999999999999999\n", 1, "bad sector range"},
      {"cache 100001\n", 1, "cache takes 0 to 100000"},
      {"seed 1\r\nseed 2\r\n", 2, "\"seed\" given twice"},
      {"c2 maybe\n", 1, "c2 takes yes or no"},
  };
  for (const Case& c : cases) {
    const DamageMapResult parsed = ParseDamageMap(c.map, "disc.cue.damage");
    EXPECT_FALSE(parsed.map) << c.map;
    EXPECT_TRUE(parsed.error.startsWith(QStringLiteral("disc.cue.damage, line %1: ").arg(c.line)))
        << parsed.error.toStdString();
    EXPECT_TRUE(parsed.error.contains(c.says)) << parsed.error.toStdString();
  }
  EXPECT_FALSE(OpenWithMap("random 10\nstable x\n"));
  const QString map = QFileInfo(disc_->CuePath()).absoluteFilePath() + ".damage";
  EXPECT_EQ(DiscImageProblem(disc_->CuePath()).toStdString(),
            (map + ", line 2: bad sector range \"x\" (A-B, sectors 0 to 449849)").toStdString());

  const auto drive = OpenWithMap("seed 3 # comment\n\tcache 10\nrandom 0-3999 bytes=1\n");
  ASSERT_TRUE(drive);
  EXPECT_EQ(drive->DamageMapLine().toStdString(), ("Damage map: " + map + " (3 directives)").toStdString());
}

}  // namespace
}  // namespace trackmill
