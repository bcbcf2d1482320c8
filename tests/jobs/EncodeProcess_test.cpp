#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <signal.h>

#include "jobs/Mp3EncodeProcess.h"
#include "jobs/WMAEncodeProcess.h"
#include "settings/Settings.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

class CountingQuestion : public TOverwriteQuestion {
 public:
  explicit CountingQuestion(bool answer) : answer_(answer) {}
  bool ConfirmOverwrite(const QString&, const QString& question) override {
    ++asked;
    lastQuestion = question;
    return answer_;
  }
  int asked = 0;
  QString lastQuestion;

 private:
  bool answer_;
};

class EncodeProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings() = TSettings();
    dir_ = QDir(tmp_.path());
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Fills the runner's fields as the job runner does and starts it.
  void Start(TEncodeProcess& runner, const QString& in, const QString& out, int kind) {
    runner.Running = true;
    runner.InputFile = in;
    runner.OutputFile = out;
    runner.ReportTo = &collector_;
    runner.JobKind = kind;
    runner.StartEncoder();
  }
  bool WaitForEnd() {
    return test::WaitUntil([&] { return collector_.LastEnd() != nullptr; });
  }

  QTemporaryDir tmp_;
  QDir dir_;
  test::RecordCollector collector_;
};

TEST_F(EncodeProcessTest, Mp3EncodeAndDecodeRunTheRealEncoder) {
  ASSERT_TRUE(test::MakeWav(Path("in put.wav"), 6.0));
  TMp3EncodeProcess runner;
  Start(runner, Path("in put.wav"), Path("in put.mp3"), job_kind::kWavToMp3);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Done);
  EXPECT_GT(collector_.ProgressCount(), 0);
  EXPECT_NEAR(test::ProbeDuration(Path("in put.mp3")), 6.0, 0.1);

  collector_.reports.clear();
  runner.EncodeMode = false;
  Start(runner, Path("in put.mp3"), Path("back.wav"), job_kind::kMp3ToWav);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Done);
  EXPECT_GT(collector_.ProgressCount(), 0);
  const auto sox = test::RunProgram("sox", {"--i", "-D", Path("back.wav")});
  EXPECT_NEAR(QString::fromUtf8(sox.out).trimmed().toDouble(), 6.0, 0.1);
}

TEST_F(EncodeProcessTest, OverwriteQuestionDependsOnTheJobKind) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  QFile existing(Path("a.mp3"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("old");
  existing.close();

  TMp3EncodeProcess runner;
  CountingQuestion no(false);
  runner.OverwriteQuestion = &no;
  // A file job asks; No ends with code 0.
  Start(runner, Path("a.wav"), Path("a.mp3"), job_kind::kWavToMp3);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(no.asked, 1);
  EXPECT_EQ(no.lastQuestion, Path("a.mp3") + " already exists. Replace it?");
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Declined);
  EXPECT_EQ(QFileInfo(Path("a.mp3")).size(), 3);

  collector_.reports.clear();
  Start(runner, Path("a.wav"), Path("a.mp3"), job_kind::kRipCd);  // a CD job overwrites without asking
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(no.asked, 1);
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Done);
  EXPECT_GT(QFileInfo(Path("a.mp3")).size(), 3);
}

TEST_F(EncodeProcessTest, MissingLameIsAnErrorNamingIt) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", tmp_.path().toUtf8());
  TMp3EncodeProcess runner;
  try {
    Start(runner, Path("a.wav"), Path("a.mp3"), job_kind::kWavToMp3);
    ADD_FAILURE() << "no error";
  } catch (const EEncoderError& e) {
    EXPECT_TRUE(e.Message().contains("lame")) << e.Message().toStdString();
  }
  qputenv("PATH", oldPath);
  EXPECT_FALSE(collector_.LastEnd());
}

TEST_F(EncodeProcessTest, FailedEncodesAreReportedAsFailures) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 1.0));
  TMp3EncodeProcess runner;
  // The output name is taken by a folder: lame cannot create it (also as root).
  ASSERT_TRUE(dir_.mkdir("taken.mp3"));
  Start(runner, Path("a.wav"), Path("taken.mp3"), job_kind::kRipCd);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Failed);
  EXPECT_TRUE(collector_.LastEnd()->error.contains("outfile"));

  // A killed encoder is a failure too.
  ASSERT_TRUE(test::MakeWav(Path("long.wav"), 200.0));
  collector_.reports.clear();
  Start(runner, Path("long.wav"), Path("long.mp3"), job_kind::kRipCd);
  const qint64 pid = runner.ChildPid();
  ASSERT_GT(pid, 0);
  ::kill(static_cast<pid_t>(pid), SIGKILL);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Failed);
}

TEST_F(EncodeProcessTest, StopEndsTheChildWithoutAReport) {
  ASSERT_TRUE(test::MakeWav(Path("long.wav"), 200.0));
  TMp3EncodeProcess runner;
  Start(runner, Path("long.wav"), Path("long.mp3"), job_kind::kRipCd);
  const qint64 pid = runner.ChildPid();
  ASSERT_TRUE(test::WaitUntil([&] { return collector_.ProgressCount() > 0; }));
  runner.StopEncoder(0);
  EXPECT_FALSE(test::ProcessAlive(pid));
  test::WaitUntil([] { return false; }, 300);
  EXPECT_FALSE(collector_.LastEnd());
  EXPECT_FALSE(runner.Running);
}

TEST_F(EncodeProcessTest, WmaEncoderProgram) {
  ASSERT_TRUE(test::MakeWav(Path("a.wav"), 3.0));
  Settings().UseID3 = true;
  Settings().Disc.Artist = "-a \"q\" $x; `y`";
  Settings().Disc.Comment = "Ünïcode comment";
  Settings().WmaSetting = 40;
  TWMAEncodeProcess runner;
  runner.EncoderProgram = test::ToolProgram(kWmaEncoderProgram);
  Start(runner, Path("a.wav"), Path("-a b.wma"), job_kind::kRipCd);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Done);
  EXPECT_EQ(Settings().WmaSetting, 8);
  EXPECT_TRUE(collector_.HasProgress(100) || collector_.ProgressCount() > 0);
  const QString probe = test::ProbeField(Path("-a b.wma"), "stream=codec_name:format_tags");
  EXPECT_TRUE(probe.contains("codec_name=wmav2")) << probe.toStdString();
  EXPECT_TRUE(probe.contains("-a \"q\" $x; `y`")) << probe.toStdString();
  EXPECT_TRUE(probe.contains("Ünïcode comment")) << probe.toStdString();
  EXPECT_NEAR(test::ProbeDuration(Path("-a b.wma")), 3.0, 0.1);

  // An input the program cannot read: its ERROR line ends the step with code 8.
  collector_.reports.clear();
  Start(runner, Path("missing.wav"), Path("m.wma"), job_kind::kRipCd);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::EncoderError);
  EXPECT_TRUE(collector_.LastEnd()->error.contains("ERROR"));
}

// Encoders that hang: one after printing an error line, one silently. Either is stopped and
// the step ends with a clear reason (the silent one after its stall limit, here 300 ms).
TEST_F(EncodeProcessTest, HangingEncoderIsStoppedAndTheStepFails) {
  struct Case {
    const char* script;
    StepOutcome outcome;
    const char* reason;
  };
  for (const Case& c : {Case{"echo 'ERROR: cannot read the input'", StepOutcome::EncoderError, "ERROR: cannot read the input"},
                        Case{":", StepOutcome::Failed, "it was stopped"}}) {
    const QString program = Path("hanging-encoder");
    ASSERT_TRUE(test::WriteBytes(program, QByteArray("#!/bin/sh\n") + c.script + "\nexec sleep 600\n"));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    collector_.reports.clear();
    TWMAEncodeProcess runner;
    runner.EncoderProgram = program;
    runner.StallLimitMs = 300;
    Start(runner, Path("a.wav"), Path("a.wma"), job_kind::kWavToWma);
    const qint64 pid = runner.ChildPid();
    ASSERT_TRUE(WaitForEnd()) << c.script;
    EXPECT_EQ(collector_.LastEnd()->outcome, c.outcome);
    EXPECT_TRUE(collector_.LastEnd()->error.contains(c.reason))
        << collector_.LastEnd()->error.toStdString();
    EXPECT_FALSE(test::ProcessAlive(pid));
  }
}

TEST_F(EncodeProcessTest, MissingWmaEncoderTellsTheUserAndEndsAsDeclined) {
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", tmp_.path().toUtf8());
  TWMAEncodeProcess runner;
  QString told;
  QObject::connect(&runner, &TEncodeProcess::InformationMessage,
                   [&](const QString& text) { told = text; });
  Start(runner, Path("a.wav"), Path("a.wma"), job_kind::kRipCd);
  qputenv("PATH", oldPath);
  EXPECT_TRUE(told.startsWith("Can not find WMA encoder,"));
  ASSERT_TRUE(collector_.LastEnd());  // sent, so already handled
  EXPECT_EQ(collector_.LastEnd()->step, JobStep::EncodeWma);
  EXPECT_EQ(collector_.LastEnd()->outcome, StepOutcome::Declined);
}

}  // namespace
}  // namespace trackmill
