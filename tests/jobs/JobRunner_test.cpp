#include "jobs/JobRunner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "jobs/PipelineSetup.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/OverwriteQuestion.h"
#include "jobs/WMAEncodeProcess.h"
#include "jobs/WmaEstimate.h"
#include "common/TextForms.h"
#include "settings/Settings.h"
#include "tests/jobs/JobTestSupport.h"

namespace trackmill {
namespace {

TEST(WmaEstimate, GuessesFromTheGrowingOutput) {
  struct Case {
    qint64 elapsedMs, inputBytes, outputBytes;
    bool running, hasEstimate;
    const char* estimate;
  };
  const Case cases[] = {
      {3000, 1000000, 500, true, true, "00:04"},         // small input: 2 s, at least elapsed+1
      {1000, 1000000, -1, true, true, "00:02"},
      {4000, 21790000, 0, true, false, ""},              // no output yet: no guess
      {4000, 21790000, 250000, true, true, "00:16"},     // expected 1000000 bytes at index 8
      {4000, 21790000, 2000000, true, true, "00:05"},    // output beyond the guess
      {4000, 21790000, 250000, false, false, ""},        // encoder not running
  };
  for (const Case& c : cases) {
    const WmaEstimate e = EstimateWma(c.elapsedMs, c.running, c.inputBytes, c.outputBytes, 8);
    EXPECT_EQ(e.hasEstimate, c.hasEstimate) << c.elapsedMs << " " << c.outputBytes;
    if (c.hasEstimate) {
      EXPECT_EQ(e.estimatedText, c.estimate);
    }
    EXPECT_EQ(e.elapsedText, DurationText(std::llround(c.elapsedMs / 1000.0)));
  }
  EXPECT_EQ(EstimateWma(4000, true, 21790000, 250000, 40).estimatedText, "00:16");
}

class JobRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings() = TSettings();
    Settings().EncoderProcesses = 1;  // the step-by-step flow; several at once: FileJobs_test
    Settings().OutputFolder = tmp_.filePath("out");
    QDir().mkpath(Settings().OutputFolder);
  }
  QTemporaryDir tmp_;
  TMp3EncodeProcess mp3_;
  TWMAEncodeProcess wma_;
  TFixedOverwriteAnswer yes_{true};
};

TEST_F(JobRunnerTest, TwentyFilesOneEncoderAtATimeAndNothingLeftAfterStop) {
  QStringList items;
  for (int i = 0; i < 20; ++i) {
    items << tmp_.filePath(QStringLiteral("in%1.wav").arg(i));
    ASSERT_TRUE(test::MakeWav(items.back(), i < 4 ? 1.0 : 30.0));
  }
  TJobRunner job(job_kind::kWavToMp3, nullptr, FileItems(items), &mp3_, &wma_, &yes_);
  int finishedSignals = 0;
  QObject::connect(&job, &TJobRunner::Finished, [&] { ++finishedSignals; });
  size_t mostChildren = 0;
  QStringList captions;
  QObject::connect(&job, &TJobRunner::Changed, [&] {
    mostChildren = std::max(mostChildren, test::ChildPids().size());
    if (captions.isEmpty() || captions.back() != job.Caption()) captions << job.Caption();
  });
  job.Start();
  // Let a few items finish, then stop in the middle of an encode.
  ASSERT_TRUE(test::WaitUntil([&] { return job.DoneCount() >= 5 && job.GaugePercent() > 0; }));
  EXPECT_EQ(mostChildren, 1u);
  EXPECT_EQ(job.Caption().left(16), QStringLiteral("Encoding(06/20):"));
  EXPECT_TRUE(captions.contains("Encoding(02/20): " + items[1]));
  job.Stop();
  EXPECT_TRUE(job.IsFinished());
  // Finished() comes from the event loop, after the Stop button's handler has returned.
  EXPECT_EQ(finishedSignals, 0);
  EXPECT_TRUE(test::ChildPids().empty());
  EXPECT_EQ(job.DoneCount(), 5);
  EXPECT_EQ(job.ItemResults()[5], JobItemResult::Stopped);
  EXPECT_EQ(job.ItemResults()[19], JobItemResult::Stopped);
  // Reports of the stopped encoder never arrive.
  test::WaitUntil([] { return false; }, 300);
  EXPECT_EQ(job.DoneCount(), 5);
  EXPECT_EQ(finishedSignals, 1);
}

// Settings changed while a job runs (another window, a lookup ending) reach the next job only.
TEST_F(JobRunnerTest, AJobKeepsTheSettingsItStartedWith) {
  const QString started = Settings().OutputFolder;
  const QString changed = tmp_.filePath("changed");
  QDir().mkpath(changed);
  const QStringList items = {tmp_.filePath("a.wav"), tmp_.filePath("b.wav")};
  for (const QString& item : items) ASSERT_TRUE(test::MakeWav(item, 1.0));
  for (int processes : {1, 2}) {
    Settings().OutputFolder = started;
    Settings().EncoderProcesses = processes;
    TJobRunner job(job_kind::kWavToMp3, nullptr, FileItems(items), &mp3_, &wma_, &yes_);
    bool finished = false;
    QObject::connect(&job, &TJobRunner::Finished, [&] { finished = true; });
    job.Start();
    Settings().OutputFolder = changed;
    Settings().EncoderProcesses = 1;
    ASSERT_TRUE(test::WaitUntil([&] { return finished; }));
    EXPECT_EQ(QDir(started).entryList({"*.mp3"}), QStringList({"a.mp3", "b.mp3"})) << processes;
    EXPECT_TRUE(QDir(changed).entryList(QDir::Files).isEmpty()) << processes;
    EXPECT_EQ(mp3_.CommandSettings, nullptr);  // nothing points into the ended job
    QDir(started).removeRecursively();
    QDir().mkpath(started);
  }
}

// Several encodes at once: the times and the second gauge are the whole job's.
TEST_F(JobRunnerTest, SeveralAtOnceShowTheWholeJobsTimesAndGauge) {
  Settings().EncoderProcesses = 2;
  QStringList items;
  for (int i = 0; i < 3; ++i) {
    items << tmp_.filePath(QStringLiteral("in%1.wav").arg(i));
    ASSERT_TRUE(test::MakeWav(items.back(), 3.0));
  }
  TJobRunner job(job_kind::kWavToMp3, nullptr, FileItems(items), &mp3_, &wma_, &yes_);
  bool finished = false, timed = false, receded = false;
  int jobPercent = 0;
  QObject::connect(&job, &TJobRunner::Finished, [&] { finished = true; });
  QObject::connect(&job, &TJobRunner::Changed, [&] {
    timed |= !job.ElapsedText().isEmpty() && !job.EstimatedText().isEmpty();
    receded |= job.JobPercent() < jobPercent;
    jobPercent = job.JobPercent();
  });
  job.Start();
  ASSERT_TRUE(test::WaitUntil([&] { return finished; }));
  EXPECT_TRUE(timed);
  EXPECT_FALSE(receded);
  EXPECT_EQ(job.JobPercent(), 100);
  EXPECT_EQ(job.SettledCount(), 3);
}

// The pause after an Ogg item is a timer: the main loop keeps running between the end of
// the last item and Finished().
TEST_F(JobRunnerTest, PauseAfterTheOggItemKeepsTheEventLoopRunning) {
  const QString wav = tmp_.filePath("short.wav");
  ASSERT_TRUE(test::MakeWav(wav, 0.5));
  TJobRunner job(job_kind::kWavToOgg, nullptr, {JobItem::File(wav)}, &mp3_, &wma_, &yes_);
  bool finished = false;
  QObject::connect(&job, &TJobRunner::Finished, [&] { finished = true; });
  int ticksWhileSettling = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ticksWhileSettling += job.IsFinished() && !finished; });
  ticker.start(10);
  job.Start();
  ASSERT_TRUE(test::WaitUntil([&] { return finished; }));
  EXPECT_EQ(job.ItemResults()[0], JobItemResult::Done);
  EXPECT_GT(ticksWhileSettling, 0);
}

// A track file that cannot be made blames its folder when the folder is the cause.
TEST(StepVerdictTest, AFileThatCannotBeMadeSaysWhy) {
  QTemporaryDir dir;
  const StepEnded cannot{JobStep::Extract, StepOutcome::CannotCreate, {}};
  EXPECT_EQ(JudgeStepEnd(cannot, {"t", dir.filePath("gone/t.wav"), true}).message, dir.filePath("gone") + ": no such folder");
  EXPECT_TRUE(JudgeStepEnd(cannot, {"t", dir.filePath("t.wav"), true}).message.contains("is not a valid file name"));
}

TEST_F(JobRunnerTest, OggQualityFollowsTheSettings) {
  Settings().IsUseCompress = true;
  Settings().CompressPosition = 60;
  EXPECT_FLOAT_EQ(OggQuality(), 0.5f);
  Settings().IsUseCompress = false;
  EXPECT_FLOAT_EQ(OggQuality(), 0.2f);
}

}  // namespace
}  // namespace trackmill
