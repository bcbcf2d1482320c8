#include "cd/CDIn.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "audio/core/AuException.h"
#include "cd/Drive.h"
#include "cd/FallbackPath.h"
#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/audio/PcmMemoryInput.h"

namespace trackmill {
namespace {

using test::TestDisc;

QByteArray ReadAll(TCDIn& in) { return test::DrainInput(in, 10000); }

class CDInTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings() = TSettings{}; }
  void TearDown() override { ClearDiscImages(); }
};

TEST_F(CDInTest, DeliversTheAudioOfATrackRange) {
  TestDisc disc({"4500:150", "20:7", "180"});
  ASSERT_TRUE(disc.Ok());
  AddDiscImage(disc.CuePath());
  TCDIn in;
  ASSERT_EQ(in.DriveCount(), 1);
  EXPECT_EQ(in.DriveName(), "Image disc.cue");
  ASSERT_EQ(in.TrackCount(), 3);
  const TCDIn::TrackTime first = in.TrackLength(1);  // 4500 sectors + the next pregap
  EXPECT_EQ(first.minutes, 1);
  EXPECT_EQ(first.seconds, 0);
  EXPECT_EQ(first.frames, 7);
  EXPECT_FALSE(in.IsDataTrack(2));
  EXPECT_THROW(in.TrackLength(4), EAuException);
  EXPECT_THROW(in.TrackLength(0), EAuException);

  struct Case {
    int start, end;
    std::vector<int> tracks;
  };
  const Case cases[] = {{1, 1, {1}}, {2, 3, {2, 3}}, {3, 3, {3}}};
  for (bool jitter : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.start << ".." << c.end << " jitter " << jitter);
      in.EnableJitterCorrection = jitter;
      in.SetStartTrack(c.start);
      in.SetEndTrack(c.end);
      QByteArray expected;
      for (int t : c.tracks) expected += disc.ExpectedTrack(t);
      EXPECT_EQ(in.GetTotalFrames(), expected.size() / 4);
      EXPECT_EQ(ReadAll(in), expected);
      EXPECT_EQ(in.Position(), expected.size());
      EXPECT_FALSE(in.Busy());
    }
  }
}

TEST_F(CDInTest, ReadsAnImageWhosePathIsLong) {
  TestDisc disc({"100"});
  ASSERT_TRUE(disc.Ok());
  const QString folder = disc.Folder() + '/' + QString(80, 'd');
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QFile::copy(disc.CuePath(), folder + "/disc.cue") && QFile::copy(disc.BinPath(), folder + "/disc.bin"));
  AddDiscImage(folder + "/disc.cue");
  TCDIn in;
  ASSERT_EQ(in.DriveCount(), 1);
  EXPECT_EQ(in.TrackCount(), 1);
}

TEST_F(CDInTest, RefusesBadRangesAndUnopenedReads) {
  TestDisc disc({"30", "30"});
  ASSERT_TRUE(disc.Ok());
  AddDiscImage(disc.CuePath());
  TCDIn in;
  const char* data = nullptr;
  int count = 100;
  struct Case {
    int start, end;
    const char* message;
  };
  const Case cases[] = {{0, 1, "The start track out of range"},
                        {3, 3, "The start track out of range"},
                        {1, 3, "The end track out of range"},
                        {2, 1, "The end track out of range"}};
  for (const Case& c : cases) {
    in.SetStartTrack(c.start);
    in.SetEndTrack(c.end);
    try {
      in.Init();
      ADD_FAILURE() << "opened " << c.start << ".." << c.end;
    } catch (const EAuException& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  try {
    in.GetData(data, count);
    ADD_FAILURE() << "read without an open range";
  } catch (const EAuException& e) {
    EXPECT_EQ(e.Message(), "The Stream is not opened");
  }
  in.SetStartTrack(1);
  in.SetEndTrack(1);
  in.Init();
  EXPECT_THROW(in.SetStartTrack(2), EAuException);
  EXPECT_THROW(in.SelectDrive(0), EAuException);
  in.Flush();
  in.SetStartTrack(2);  // free again
}

TEST_F(CDInTest, MissingImageIsNotReady) {
  AddDiscImage("/nonexistent/disc.cue");
  TCDIn in;
  EXPECT_EQ(in.TrackCount(), -1);
  try {
    in.Init();
    ADD_FAILURE();
  } catch (const EAuException& e) {
    EXPECT_EQ(e.Message(), "The drive is not ready");
  }
}

TEST_F(CDInTest, FallbackPathListsTheDisc) {
  TestDisc disc({"240s", "30s"});
  ASSERT_TRUE(disc.Ok());
  AddDiscImage(disc.CuePath());
  TCDIn in;
  TrackList list;
  const FallbackResult result = RunFallbackPath(list, in, 7, false);  // index beyond: drive 0
  EXPECT_FALSE(result.ShowNoDeviceHint);
  EXPECT_TRUE(result.Listed);
  EXPECT_FALSE(list.NoAudioCD);
  ASSERT_EQ(list.Rows.size(), 2u);
  EXPECT_EQ(list.Rows[0].Length, "04:00");
  EXPECT_EQ(list.Rows[0].Size, "40.37");
  EXPECT_EQ(list.Rows[1].Length, "00:30");
  EXPECT_EQ(list.Rows[1].Size, "05.05");
  EXPECT_EQ(list.Rows[1].Title, "Track02");
  EXPECT_EQ(list.Status, "Image disc.cue");
  EXPECT_EQ(list.SavedStatus, list.Status);

  // The next activation keeps what the user changed in the list of the same disc.
  list.Rows[1].Checked = false;
  list.Rows[1].Title = "Coda";
  EXPECT_FALSE(RunFallbackPath(list, in, 0, false).Listed);
  EXPECT_FALSE(list.Rows[1].Checked);
  EXPECT_EQ(list.Rows[1].Title, "Coda");

  // The same disc through the drive layer has the same identifier.
  TrackList direct;
  direct.Show(0);
  EXPECT_EQ(direct.DiscIdentifier, list.DiscIdentifier);
  direct.Close();
}

TEST_F(CDInTest, NoDriveShowsTheHintOnce) {
  ClearDiscImages();
  TCDIn in;
  if (in.DriveCount() > 0) GTEST_SKIP() << "this machine has a CD drive";
  TrackList list;
  EXPECT_TRUE(RunFallbackPath(list, in, 0, false).ShowNoDeviceHint);
  EXPECT_TRUE(list.NoAudioCD);
  EXPECT_FALSE(RunFallbackPath(list, in, 0, true).ShowNoDeviceHint);
  list.Activate();
  EXPECT_EQ(list.Status, "Can not find audio CD in your CD device.");
}

}  // namespace
}  // namespace trackmill
