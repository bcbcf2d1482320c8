#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "cd/Drive.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/player/AlsaTestSink.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/NoDeviceHintForm.h"
#include "ui/RecordForm.h"

namespace trackmill::test {
namespace {

QString Status(TMainForm& form) { return form.StatusText(); }

void Select(TMainForm& form, int row) {
  auto* list = form.findChild<QTreeWidget*>("ListView1");
  list->setCurrentItem(list->topLevelItem(row));
  list->topLevelItem(row)->setSelected(true);
}

TEST_F(MainFormTest, PlaysTheSelectedTrackOfAnImageToItsEnd) {
  AlsaTestSink sink;
  TestDisc disc({"1s", "75:40", "1s"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  const QString driveStatus = Status(*form);
  EXPECT_FALSE(Action(*form, "aPlay")->isEnabled());
  Select(*form, 1);
  ASSERT_TRUE(Action(*form, "aPlay")->isEnabled());
  EXPECT_FALSE(Action(*form, "aStop")->isEnabled());

  Action(*form, "aPlay")->trigger();
  EXPECT_EQ(Status(*form), "Play Track02");
  EXPECT_TRUE(Action(*form, "aPause")->isEnabled());
  EXPECT_TRUE(Action(*form, "aStop")->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Action(*form, "aStop")->isEnabled(); }, 20000));
  EXPECT_EQ(Status(*form), driveStatus);
  // From the track's start (after its pregap) to the next track's start, nothing else.
  EXPECT_EQ(WithoutSilentFrames(sink.Played()), WithoutSilentFrames(disc.ExpectedTrack(2)));
  form->close();
}

TEST_F(MainFormTest, PauseResumeAndStopOfPlaybackAndExtractStopsIt) {
  AlsaTestSink sink;
  TestDisc disc({"30s", "1s"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  const QString driveStatus = Status(*form);
  Select(*form, 0);
  Action(*form, "aPlay")->trigger();
  Action(*form, "aPause")->trigger();
  EXPECT_FALSE(Action(*form, "aPause")->isEnabled());
  EXPECT_TRUE(Action(*form, "aStop")->isEnabled());
  Action(*form, "aPlay")->trigger();  // resumes
  EXPECT_TRUE(Action(*form, "aPause")->isEnabled());
  EXPECT_EQ(Status(*form), "Play Track01");
  Action(*form, "aStop")->trigger();
  EXPECT_FALSE(Action(*form, "aStop")->isEnabled());
  EXPECT_FALSE(Action(*form, "aPause")->isEnabled());
  EXPECT_EQ(Status(*form), driveStatus);

  Action(*form, "aPlay")->trigger();
  // The rip reads the same drive: playback ends before the job window opens.
  answerer_.Then([&](QWidget* window) {
    EXPECT_FALSE(Action(*form, "aStop")->isEnabled());
    QTimer::singleShot(0, window, [window] { window->close(); });
    return true;
  });
  Action(*form, "ActionExtract")->trigger();
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_EQ(Status(*form), driveStatus);
  form->close();
}

TEST_F(MainFormTest, TheRecordersMp3ConversionRunsWithoutADrive) {
  if (!ListDrives().empty()) GTEST_SKIP() << "this machine has a CD drive";
  bool hinted = false;
  answerer_.OnWindow<TfrmNoDeviceHint>([&](TfrmNoDeviceHint* hint) {
    hinted = true;
    QTimer::singleShot(0, hint, &QDialog::accept);
  });
  auto form = Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return hinted; }));
  QTemporaryDir dir;
  const QString wav = dir.filePath("memo.wav");
  ASSERT_TRUE(MakeWav(wav, 1.0));
  answerer_.OnWindow<TfrmRecord>([&](TfrmRecord* recorder) {
    QTimer::singleShot(0, recorder, [recorder, wav] {
      recorder->Files().SaveMp3 = true;
      recorder->Files().Open(wav);
      recorder->Files().SetModified();
      recorder->Files().Save();  // runs the job window
      recorder->close();
    });
  });
  Activate(*form);
  QTest::keyClick(List(*form), Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_GT(QFileInfo(dir.filePath("memo.mp3")).size(), 0);
  form->close();
}

}  // namespace
}  // namespace trackmill::test
