#include "cd/TrackList.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cd/Drive.h"
#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::RunProgram;
using test::TestDisc;
using test::ToolProgram;

TEST(TrackLengthTest, LengthsAndSizes) {
  struct Case {
    int fromMin, fromSec, toMin, toSec;
    const char* length;
    const char* size;
  };
  const Case cases[] = {
      {0, 2, 4, 2, "04:00", "40.37"},
      {0, 2, 0, 32, "00:30", "05.05"},
      {2, 10, 5, 10, "03:00", "30.28"},    // frames are not looked at
      {2, 50, 3, 10, "00:20", "03.36"},    // seconds borrow a minute
      {7, 7, 7, 7, "00:00", "00.00"},
      {0, 0, 136, 32, "136:32", "1378.12"},  // 137812.5 hundredths: the half goes to even
  };
  for (const Case& c : cases) {
    const TrackLength length = LengthBetween(c.fromMin, c.fromSec, c.toMin, c.toSec);
    EXPECT_EQ(TrackLengthText(length), c.length);
    EXPECT_EQ(TrackSizeText(length), c.size) << c.length;
  }
}

TEST(TrackTitleTest, EmptySlotsGetDefaultTitles) {
  Settings() = TSettings{};
  Settings().Disc.Titles[1] = "Named";
  EXPECT_EQ(TitleForTrack(1), "Track01");
  EXPECT_EQ(Settings().Disc.Titles[0], "Track01");  // the slot is filled in
  EXPECT_EQ(TitleForTrack(2), "Named");
  EXPECT_EQ(TitleForTrack(10), "Track10");
}

class TrackListTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings() = TSettings{}; }
  void TearDown() override {
    list_.Close();
    ClearDiscImages();
  }
  TrackList list_;
};

TEST_F(TrackListTest, RowsFromTheTableOfContents) {
  // Hidden audio (track 1 starts at 00:04:10) and a pregap do not disturb the lengths.
  TestDisc disc({"240s:187", "30s:75", "7"});
  ASSERT_TRUE(disc.Ok());
  AddDiscImage(disc.CuePath());
  Settings().Index = 5;  // beyond the list: drive 0
  list_.Show();
  ASSERT_NE(list_.Drive, nullptr);
  EXPECT_EQ(list_.DriveDescription, "Image disc.cue");
  EXPECT_EQ(list_.Status, list_.DriveDescription);
  EXPECT_EQ(list_.SavedStatus, list_.Status);
  EXPECT_FALSE(list_.NoAudioCD);
  EXPECT_FALSE(list_.DiscIdentifier.isEmpty());
  ASSERT_EQ(list_.Rows.size(), 3u);
  const char* expected[3][4] = {{"1", "Track01", "04:01", "40.54"},
                                {"2", "Track02", "00:30", "05.05"},
                                {"3", "Track03", "00:00", "00.00"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list_.Rows[i].Caption, expected[i][0]);
    EXPECT_EQ(list_.Rows[i].Title, expected[i][1]);
    EXPECT_EQ(list_.Rows[i].Length, expected[i][2]);
    EXPECT_EQ(list_.Rows[i].Size, expected[i][3]);
    EXPECT_TRUE(list_.Rows[i].Checked);
  }
}

TEST_F(TrackListTest, TitlesComeBackFromTheCache) {
  TestDisc disc({"75", "80", "90"});
  ASSERT_TRUE(disc.Ok());
  AddDiscImage(disc.CuePath());
  list_.Show();
  ASSERT_EQ(list_.Rows.size(), 3u);
  list_.Rows[0].Title = "Opening";
  list_.Rows[2].Title = "AC/DC: Live?";
  list_.Rows[1].Checked = false;
  EXPECT_EQ(list_.ExtractItems(), (JobItems{JobItem::Track(1, "Opening"), JobItem::Track(3, "AC/DC: Live?")}));
  EXPECT_TRUE(list_.Close().isEmpty());

  Settings() = TSettings{};
  TrackList again;
  again.Show();
  ASSERT_EQ(again.Rows.size(), 3u);
  EXPECT_EQ(again.Rows[0].Title, "Opening");
  EXPECT_EQ(again.Rows[1].Title, "Track02");
  EXPECT_EQ(again.Rows[2].Title, "AC/DC: Live?");
  again.Close();
}

TEST_F(TrackListTest, CdTextNamesAnUnknownDiscButNeverTypedTitles) {
  // Track lengths unlike the other tests' discs, whose titles the cache may hold by now.
  QTemporaryDir dir;
  const QString base = dir.filePath("text");
  const auto made = RunProgram(ToolProgram("discimage"),
                               {"--out", base, "--title", "Dïsc Album", "--performer", "Zoë Band", "--track", "300",
                                "--title", "Öpening", "--track", "80", "--title", "Second", "--performer", "Guest",
                                "--track", "90", "--title", "Ωmega"});
  ASSERT_EQ(made.exitCode, 0) << made.err.constData();
  AddDiscImage(base + ".cue");
  list_.Show();
  ASSERT_EQ(list_.Rows.size(), 3u);
  const DiscInfo& disc = Settings().Disc;
  EXPECT_EQ(disc.Album, "Dïsc Album");
  EXPECT_EQ(disc.Artist, "Zoë Band");
  EXPECT_EQ(list_.Rows[0].Title, "Öpening");
  EXPECT_EQ(list_.Rows[1].Title, "Second");
  EXPECT_EQ(list_.Rows[2].Title, "?mega");  // CD-Text holds ISO-8859-1 only
  EXPECT_EQ(disc.TrackArtists[1], "Guest");
  EXPECT_TRUE(disc.TrackArtists[0].isEmpty());

  list_.Rows[0].Title = "Typed";
  ASSERT_TRUE(list_.Close().isEmpty());
  Settings() = TSettings{};
  list_.Show();  // the record now exists: it wins over the CD-Text
  EXPECT_EQ(list_.Rows[0].Title, "Typed");
  EXPECT_EQ(Settings().Disc.TrackArtists[1], "Guest");
  list_.Rows[0].Title = "Track01";
  list_.ApplyCDText();  // only what the program itself put there is replaced
  EXPECT_EQ(list_.Rows[0].Title, "Öpening");
  EXPECT_EQ(list_.Rows[1].Title, "Second");
}

TEST_F(TrackListTest, MissingImageSaysWhichAndWhy) {
  AddDiscImage("/nonexistent/disc.cue");
  list_.Show();
  EXPECT_EQ(list_.Drive, nullptr);
  EXPECT_EQ(list_.Status, "/nonexistent/disc.cue: no such file");
  EXPECT_TRUE(list_.Rows.empty());
  // The window's activation, with the fallback input finding no disc either, still says why.
  list_.NoAudioCD = true;
  list_.Activate();
  EXPECT_EQ(list_.Status, "/nonexistent/disc.cue: no such file");
  list_.Refresh();
  EXPECT_EQ(list_.Status, "Can not find audio CD in your CD device.");
}

}  // namespace
}  // namespace trackmill
