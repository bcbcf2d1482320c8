#include "settings/DiscInfoStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

QString Title(int slot) { return Settings().Disc.Titles[slot - 1]; }

class DiscInfoStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(DiscInfoFilePath());
    Settings().Disc = DiscInfo{};
  }
  void TearDown() override { QFile::remove(DiscInfoFilePath()); }
};

TEST_F(DiscInfoStoreTest, DiscSeenFirstTimeGetsDefaults) {
  Settings().Disc.Artist = "previous";
  Settings().Disc.Genre = 17;
  LoadDiscInfo("12345");
  const DiscInfo& disc = Settings().Disc;
  EXPECT_EQ(disc.Artist, "");
  EXPECT_EQ(disc.Album, "");
  EXPECT_EQ(disc.Year, "");
  EXPECT_EQ(disc.Comment, "");
  EXPECT_EQ(disc.Genre, -1);
  EXPECT_EQ(disc.TrackNumber, 100);
  EXPECT_EQ(Title(1), "Track01");
  EXPECT_EQ(Title(9), "Track09");
  EXPECT_EQ(Title(100), "Track100");
}

TEST_F(DiscInfoStoreTest, ZeroByteFileReadsAsDefaultsAndCanBeSavedInto) {
  ASSERT_TRUE(test::WriteBytes(DiscInfoFilePath(), ""));
  LoadDiscInfo("-5");
  EXPECT_EQ(Settings().Disc.TrackNumber, 100);
  EXPECT_EQ(Title(42), "Track42");
  Settings().Disc.Artist = "Band";
  Settings().Disc.TrackNumber = 2;
  ASSERT_TRUE(SaveDiscInfo("-5"));
  Settings().Disc = DiscInfo{};
  LoadDiscInfo("-5");
  EXPECT_EQ(Settings().Disc.Artist, "Band");
  EXPECT_EQ(Settings().Disc.TrackNumber, 2);
}

TEST_F(DiscInfoStoreTest, EverythingSurvivesSaveAndLoad) {
  DiscInfo& disc = Settings().Disc;
  disc.Artist = "Ærø Quartet";
  disc.Album = " Live ";
  disc.Year = "1999";
  disc.Genre = 148;
  disc.Comment = "line one\nline two";  // one line in the file
  disc.TrackNumber = 3;
  disc.Titles[0] = "Intro = Overture";
  disc.Titles[1] = "\"Quoted\"";
  disc.Titles[2] = "[Not a section]";
  SaveDiscInfo("-1710548212");
  const DiscInfo saved = disc;
  disc = DiscInfo{};
  disc.Titles[3] = "kept from before";
  LoadDiscInfo("-1710548212");
  EXPECT_EQ(disc.Artist, saved.Artist);
  EXPECT_EQ(disc.Album, saved.Album);
  EXPECT_EQ(disc.Year, "1999");
  EXPECT_EQ(disc.Genre, 148);
  EXPECT_EQ(disc.Comment, "line one line two");
  EXPECT_EQ(disc.TrackNumber, 3);
  for (int slot = 1; slot <= 3; ++slot) EXPECT_EQ(Title(slot), saved.Titles[slot - 1]);
  EXPECT_EQ(Title(4), "kept from before");
}

TEST_F(DiscInfoStoreTest, EmptyOrMissingTitlesBecomeTrackNumbers) {
  ASSERT_TRUE(test::WriteBytes(DiscInfoFilePath(), "[77]\nTrackNumber=4\n1=One\n3=\n4=   \n"));
  LoadDiscInfo("77");
  EXPECT_EQ(Title(1), "One");
  EXPECT_EQ(Title(2), "Track02");
  EXPECT_EQ(Title(3), "Track03");
  EXPECT_EQ(Title(4), "Track04");
}

TEST_F(DiscInfoStoreTest, TrackNumberZeroOrNegativeKeepsPreviousTitles) {
  for (const char* count : {"0", "-3"}) {
    ASSERT_TRUE(test::WriteBytes(DiscInfoFilePath(), QByteArray("[77]\nArtist=New\nTrackNumber=") + count + "\n1=Ignored\n"));
    Settings().Disc.Titles[0] = "Old title";
    LoadDiscInfo("77");
    EXPECT_EQ(Settings().Disc.Artist, "New");
    EXPECT_EQ(Title(1), "Old title") << count;
  }
}

TEST_F(DiscInfoStoreTest, TrackNumberAboveSlotCountIsBounded) {
  ASSERT_TRUE(test::WriteBytes(DiscInfoFilePath(), "[9]\nTrackNumber=2147483647\n100=Last\n"));
  LoadDiscInfo("9");
  EXPECT_EQ(Title(100), "Last");
  EXPECT_EQ(Title(99), "Track99");
  Settings().Disc.TrackNumber = 150;
  SaveDiscInfo("9");
  const IniFile ini = IniFile::Load(DiscInfoFilePath());
  EXPECT_TRUE(ini.HasKey("9", "100"));
  EXPECT_FALSE(ini.HasKey("9", "101"));
  EXPECT_EQ(ini.ReadInteger("9", "TrackNumber", 0), 150);
}

TEST_F(DiscInfoStoreTest, ShorterSaveKeepsHigherKeysAndOtherDiscs) {
  ASSERT_TRUE(test::WriteBytes(DiscInfoFilePath(), "[other]\nArtist=Someone\n"));
  DiscInfo& disc = Settings().Disc;
  disc.TrackNumber = 15;
  for (int slot = 1; slot <= 15; ++slot) disc.Titles[slot - 1] = QString("First %1").arg(slot);
  SaveDiscInfo("42");
  disc.TrackNumber = 12;
  for (int slot = 1; slot <= 12; ++slot) disc.Titles[slot - 1] = QString("Second %1").arg(slot);
  SaveDiscInfo("42");

  const IniFile ini = IniFile::Load(DiscInfoFilePath());
  EXPECT_EQ(ini.ReadInteger("42", "TrackNumber", 0), 12);
  EXPECT_EQ(ini.ReadString("42", "12", ""), "Second 12");
  EXPECT_EQ(ini.ReadString("42", "13", ""), "First 13");
  EXPECT_EQ(ini.ReadString("42", "15", ""), "First 15");
  EXPECT_EQ(ini.ReadString("other", "Artist", ""), "Someone");
  QStringList expectedKeys{"Artist", "Album", "Year", "Genre", "Comment", "TrackNumber"};
  for (int slot = 1; slot <= 15; ++slot) expectedKeys << QString::number(slot);
  EXPECT_EQ(ini.KeyNames("42"), expectedKeys);
}

TEST_F(DiscInfoStoreTest, EmptyIdentifierNeitherReadsNorWrites) {
  Settings().Disc.Artist = "in memory";
  Settings().Disc.Titles[0] = "kept";
  LoadDiscInfo("");
  EXPECT_TRUE(SaveDiscInfo("")) << "nothing to save is no failure";
  EXPECT_EQ(Settings().Disc.Artist, "in memory");
  EXPECT_EQ(Title(1), "kept");
  EXPECT_FALSE(QFile::exists(DiscInfoFilePath()));
}

TEST_F(DiscInfoStoreTest, UnreadableFileIsNeverReplaced) {
  QFile::remove(DiscInfoFilePath());
  ASSERT_TRUE(QDir().mkpath(DiscInfoFilePath() + "/inside"));
  LoadDiscInfo("1");
  EXPECT_EQ(Title(1), "Track01");
  EXPECT_FALSE(SaveDiscInfo("1"));
  EXPECT_TRUE(QDir(DiscInfoFilePath() + "/inside").exists());
  QDir(DiscInfoFilePath()).removeRecursively();
}

// Start addresses in frames as the TOC gives them (with the two-second lead-in).
struct DiscIdCase {
  const char* name;
  std::vector<qint32> starts;
  qint32 leadOut;
  quint32 id;
  const char* text;
};

class DiscIdTest : public ::testing::TestWithParam<DiscIdCase> {};

TEST_P(DiscIdTest, MatchesHandComputedId) {
  const DiscIdCase& c = GetParam();
  EXPECT_EQ(CddbDiscId(c.starts, c.leadOut), c.id);
  EXPECT_EQ(DiscIdText(c.id), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Tocs, DiscIdTest,
    ::testing::Values(
        // Track seconds 2, 49, 132: digit sums 2 + 13 + 6 = 21 = 0x15; lead-out second 202,
        // length 202 - 2 = 200 = 0xC8; 3 tracks -> 0x1500C803.
        DiscIdCase{"three_tracks", {150, 3687, 9970}, 15150, 0x1500C803u, "352372739"},
        // A 12-track album of 47:25: seconds 2, 245, 516, 696, 948, 1182, 1382, 1640, 1866,
        // 2111, 2340, 2571 give 2+11+12+21+21+12+14+11+21+5+9+15 = 154 = 0x9A; lead-out second
        // 2845, length 2843 = 0xB1B. The high bit is set, so the text is negative.
        DiscIdCase{"album_negative_text",
                   {150, 18390, 38765, 52212, 71125, 88660, 103700, 123050, 140005, 158377, 175550, 192890},
                   213420,
                   0x9A0B1B0Cu,
                   "-1710548212"},
        // One track on a disc that starts without a lead-in: second 0 adds nothing.
        DiscIdCase{"single_track_from_zero", {0}, 7500, 0x00006401u, "25601"},
        DiscIdCase{"no_tracks", {}, 15150, 0u, "0"},
        // A lead-out before the first track (a broken TOC) gives length 0, not a wrapped number;
        // second 200 has digit sum 2.
        DiscIdCase{"lead_out_before_start", {15000}, 150, 0x02000001u, "33554433"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscIdLongDiscTest, ChecksumWrapsAt255) {
  // 99 tracks 45 s apart: digit sums add up to 1500, and 1500 mod 255 = 225 = 0xE1; length
  // (2 + 45 * 99 + 3) - 2 = 4458 = 0x116A seconds.
  std::vector<qint32> starts;
  for (int i = 0; i < 99; ++i) starts.push_back((2 + 45 * i) * 75 + i);
  EXPECT_EQ(CddbDiscId(starts, (2 + 45 * 99 + 3) * 75), 0xE1116A63u);
}

}  // namespace
}  // namespace trackmill
