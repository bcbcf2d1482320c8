#include "cd/CDRipThread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <csignal>
#include <map>

#include "cd/Drive.h"
#include "cd/NormalizeFile.h"
#include "common/ThreadHandOver.h"
#include "settings/Settings.h"
#include "tests/cd/RipEvents.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::ReadBytes;
using test::RipEvents;
using test::TestDisc;

quint32 Le32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

class CDRipThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings() = TSettings{};
    Settings().OutputFolder = out_.path();
    Settings().ExtractionMode = kExtractionFast;  // what most cases here are about
  }
  void TearDown() override {
    drive_.reset();
    ClearDiscImages();
  }
  void Open(const TestDisc& disc) {
    EXPECT_TRUE(disc.Ok()) << disc.Error().toStdString();
    ClearDiscImages();
    AddDiscImage(disc.CuePath());
    drive_ = CdDrive::Open(ListDrives().front());
    ASSERT_NE(drive_, nullptr);
    disc_ = std::make_shared<const DiscLayout>(DiscLayout::FromToc(drive_->ReadToc().value()));
  }
  // Runs one extraction to its end and delivers its events.
  void Rip(int trackNo, const QString& name, RipEvents& events) {
    TCDRipThread thread(trackNo, WavPath(name), disc_);
    thread.Drive = drive_;
    thread.ReportTo = &events;
    thread.start();
    JoinThread(thread);
    normalizeError_ = thread.NormalizeError();
    copy_ = thread.Copy();
    events.Deliver();
  }
  QString WavPath(const QString& name) const { return out_.filePath(name + ".wav"); }

  QTemporaryDir out_;
  std::shared_ptr<CdDrive> drive_;
  std::shared_ptr<const DiscLayout> disc_;
  QString normalizeError_;
  CopyReport copy_;
};

// Checks header fields and returns the sample data.
QByteArray WavData(const QByteArray& wav) {
  EXPECT_GE(wav.size(), 44);
  EXPECT_EQ(wav.left(4), "RIFF");
  EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 24), 44100u);
  EXPECT_EQ(Le32(wav, 40), quint32(wav.size() - 44));
  EXPECT_EQ(Le32(wav, 4), quint32(wav.size() - 8));
  return wav.mid(44);
}

TEST_F(CDRipThreadTest, EveryTrackEqualsItsSourceAudio) {
  // Hidden audio before track 1 (starts at 00:06:00), pregaps, a track shorter than one
  // read, one that is a multiple of a read (75 sectors from an image), and uneven ones.
  TestDisc disc({"137:300", "7:20", "150", "123"});
  Open(disc);
  const int expectedReads[] = {0, 3, 1, 2, 2};  // the first with the next track's pregap
  for (int track = 1; track <= 4; ++track) {
    SCOPED_TRACE(track);
    RipEvents events;
    const QString name = QStringLiteral("Track%1").arg(track);
    Rip(track, name, events);
    EXPECT_EQ(WavData(ReadBytes(WavPath(name))), disc.ExpectedTrack(track));
    ASSERT_EQ(events.ends.size(), 1u);
    EXPECT_EQ(events.ends[0].outcome, StepOutcome::Done);
    ASSERT_EQ(int(events.progress.size()), expectedReads[track]);
    EXPECT_EQ(events.progress.back().percent, 100);
  }
}

TEST_F(CDRipThreadTest, SameBytesAsCdParanoia) {
  if (!test::HaveProgram("cd-paranoia")) GTEST_SKIP() << "cd-paranoia not installed";
  TestDisc disc({"101:40", "64:33", "9"});
  Open(disc);
  for (int track = 1; track <= 3; ++track) {
    SCOPED_TRACE(track);
    RipEvents events;
    Rip(track, "ours", events);
    const QString theirs = out_.filePath("theirs.raw");
    const auto result = test::RunProgram("cd-paranoia",
        {"-q", "-d", disc.CuePath(), "-r", QString::number(track), theirs});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(WavData(ReadBytes(WavPath("ours"))), ReadBytes(theirs));
  }
}

TEST_F(CDRipThreadTest, RipTimeLimitsTheLength) {
  TestDisc disc({"240s", "10s"});
  Open(disc);
  Settings().EnableRipTime = true;
  Settings().RipTime = 20;
  RipEvents events;
  Rip(1, "long", events);
  EXPECT_EQ(ReadBytes(WavPath("long")).size(), 44 + 1500 * kCDSectorBytes);
  Rip(2, "short", events);
  EXPECT_EQ(WavData(ReadBytes(WavPath("short"))), disc.ExpectedTrack(2));

  Settings().RipTime = -5;  // a negative limit extracts nothing and reads nothing
  RipEvents none;
  Rip(1, "none", none);
  EXPECT_EQ(ReadBytes(WavPath("none")).size(), 44);
  EXPECT_TRUE(none.progress.empty());
  ASSERT_EQ(none.ends.size(), 1u);
}

TEST_F(CDRipThreadTest, StopLeavesAPlayablePartialFile) {
  TestDisc longDisc({"600s"});
  Open(longDisc);
  RipEvents events;
  {
    TCDRipThread thread(1, WavPath("stopped"), disc_);
    thread.Drive = drive_;
    thread.ReportTo = &events;
    thread.start();
    while (events.progress.empty() && !thread.isFinished()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    thread.Stopped = true;
  }
  events.Deliver();
  EXPECT_TRUE(events.ends.empty());
  const QByteArray wav = ReadBytes(WavPath("stopped"));
  const QByteArray data = WavData(wav);
  EXPECT_LT(data.size(), 600 * 75 * kCDSectorBytes);
  EXPECT_EQ(data.size() % (75 * kCDSectorBytes), 0);
  EXPECT_EQ(data, longDisc.ExpectedTrack(1).left(data.size()));
  if (test::HaveProgram("sox")) {
    const auto info = test::RunProgram("sox", {"--i", "-s", WavPath("stopped")});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_EQ(info.out.trimmed().toLongLong(), data.size() / 4);
  }
}

TEST_F(CDRipThreadTest, ReadErrorHalfwayKeepsThePartialFile) {
  // The .bin ends in the middle of track 2 (sectors 50..149). libcdio takes the lead-out
  // from the size of the .bin, so the cut track must not be the last.
  TestDisc disc({"50", "100", "50"}, {"--bin-sectors", "100"});
  Open(disc);
  RipEvents events;
  Rip(2, "broken", events);
  ASSERT_EQ(events.ends.size(), 1u);
  EXPECT_EQ(events.ends[0].outcome, StepOutcome::ReadError);
  const QByteArray wav = ReadBytes(WavPath("broken"));
  ASSERT_GT(wav.size(), 44);
  EXPECT_EQ(Le32(wav, 40), 0u);  // header never completed
  EXPECT_EQ(wav.mid(44), disc.ExpectedTrack(2).left(wav.size() - 44));
  EXPECT_EQ(wav.size() - 44, 50 * kCDSectorBytes);
}

TEST_F(CDRipThreadTest, ADamagedDiscIsRippedAsItReads) {
  TestDisc disc({"280", "20"});
  ASSERT_TRUE(test::WriteBytes(disc.CuePath() + ".damage", "stable 100 bytes=3\nrandom 200-201\nunreadable 290\n"));
  Open(disc);
  RipEvents events;
  Rip(1, "damaged", events);
  ASSERT_EQ(events.ends.size(), 1u);
  EXPECT_EQ(events.ends[0].outcome, StepOutcome::Done);
  const QByteArray ripped = WavData(ReadBytes(WavPath("damaged")));
  const QByteArray expected = disc.ExpectedTrack(1);
  ASSERT_EQ(ripped.size(), expected.size());
  std::map<int, int> wrongBytesBySector;
  for (int i = 0; i < ripped.size(); ++i)
    if (ripped[i] != expected[i]) ++wrongBytesBySector[i / kCDSectorBytes];
  EXPECT_EQ(wrongBytesBySector, (std::map<int, int>{{100, 3}, {200, 16}, {201, 16}}));
  // The unreadable sector fails its track, as a read error on a drive does.
  RipEvents failing;
  Rip(2, "unreadable", failing);
  ASSERT_EQ(failing.ends.size(), 1u);
  EXPECT_EQ(failing.ends[0].outcome, StepOutcome::ReadError);
  EXPECT_EQ(ReadBytes(WavPath("unreadable")).mid(44), disc.ExpectedTrack(2).left(10 * kCDSectorBytes));
}

TEST_F(CDRipThreadTest, SecureModeCorrectsWhatReReadsSeeAndReportsTheRest) {
  Settings().ExtractionMode = kExtractionSecure;
  TestDisc disc({"280", "20"});
  ASSERT_TRUE(test::WriteBytes(disc.CuePath() + ".damage",
                               "stable 100 bytes=3\nrandom 200-201\nflaky 150 fail=2\nunreadable 290-291\n"));
  Open(disc);
  RipEvents events;
  TCDRipThread thread(1, WavPath("first"), disc_);
  thread.Drive = drive_;
  thread.ReportTo = &events;
  thread.Options.ReadOffset = 30;  // the last sectors read reach into track 2
  thread.start();
  JoinThread(thread);
  events.Deliver();
  ASSERT_EQ(events.ends.size(), 1u);
  EXPECT_EQ(events.ends[0].outcome, StepOutcome::Done);
  QByteArray expected = disc.ExpectedTrack(1) + disc.ExpectedTrack(2).left(30 * 4);
  expected.remove(0, 30 * 4);
  const QByteArray ripped = WavData(ReadBytes(WavPath("first")));
  ASSERT_EQ(ripped.size(), expected.size());
  std::map<int, int> wrongBytesBySector;
  for (int i = 0; i < ripped.size(); ++i)
    if (ripped[i] != expected[i]) ++wrongBytesBySector[(i + 30 * 4) / kCDSectorBytes];
  EXPECT_EQ(wrongBytesBySector, (std::map<int, int>{{100, 3}}));  // a fault no re-read sees
  const CopyReport copy = thread.Copy();
  EXPECT_TRUE(copy.secure);
  EXPECT_TRUE(copy.CopyOk()) << copy.Line().toStdString();
  EXPECT_GT(copy.rereads, 0u);

  // The unreadable sectors are written as silence and reported from the track's start.
  RipEvents second;
  Rip(2, "second", second);
  ASSERT_EQ(second.ends.size(), 1u);
  EXPECT_EQ(second.ends[0].outcome, StepOutcome::Done);
  QByteArray withSilence = disc.ExpectedTrack(2);
  withSilence.replace(10 * kCDSectorBytes, 2 * kCDSectorBytes, QByteArray(2 * kCDSectorBytes, 0));
  EXPECT_EQ(WavData(ReadBytes(WavPath("second"))), withSilence);
  EXPECT_EQ(copy_.suspicious, (std::vector<SectorRun>{{10, 11}}));
  EXPECT_TRUE(copy_.Verdict().startsWith("Copy finished with 1 suspicious positions: 0:00.10-0:00.11"))
      << copy_.Verdict().toStdString();
}

TEST_F(CDRipThreadTest, FailuresAreReported) {
  TestDisc disc({"20", "20"});
  Open(disc);
  struct Case {
    const char* what;
    int trackNo;
    QString name;
    StepOutcome outcome;
  };
  const Case cases[] = {
      {"name too long for the file system", 1, QString(300, 'x'), StepOutcome::CannotCreate},
      {"folder missing", 1, "missing/x", StepOutcome::CannotCreate},
      {"no such track", 3, "t3", StepOutcome::ReadError},
      {"track 0", 0, "t0", StepOutcome::ReadError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RipEvents events;
    Rip(c.trackNo, c.name, events);
    EXPECT_TRUE(events.progress.empty());
    ASSERT_EQ(events.ends.size(), 1u);
    EXPECT_EQ(events.ends[0].outcome, c.outcome);
  }
  RipEvents noDrive;
  std::shared_ptr<CdDrive> saved = std::move(drive_);
  Rip(1, "nodrive", noDrive);
  drive_ = std::move(saved);
  ASSERT_EQ(noDrive.ends.size(), 1u);
  EXPECT_EQ(noDrive.ends[0].outcome, StepOutcome::DriveRefused);
  EXPECT_TRUE(noDrive.progress.empty());
  RipEvents noLayout;
  disc_.reset();
  Rip(1, "nolayout", noLayout);
  ASSERT_EQ(noLayout.ends.size(), 1u);
  EXPECT_EQ(noLayout.ends[0].outcome, StepOutcome::TocUnreadable);
}

TEST_F(CDRipThreadTest, FileSizeLimitFailsTheTrack) {
  TestDisc disc({"300"});
  Open(disc);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 100000;  // the track needs 705 644 bytes
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  RipEvents events;
  Rip(1, "limited", events);
  setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_EQ(events.ends.size(), 1u);
  EXPECT_EQ(events.ends[0].outcome, StepOutcome::WriteError);
}

TEST_F(CDRipThreadTest, NormalisingAfterExtraction) {
  TestDisc disc({"33"});
  Open(disc);
  RipEvents plain;
  Rip(1, "plain", plain);
  const QByteArray extracted = ReadBytes(WavPath("plain"));

  Settings().IsNormalize = true;
  Settings().NormalizePercent = 100;
  RipEvents full;
  Rip(1, "full", full);
  EXPECT_EQ(ReadBytes(WavPath("full")), extracted);
  EXPECT_EQ(full.normalizeStarts, 1);
  ASSERT_EQ(full.ends.size(), 1u);
  EXPECT_EQ(full.ends[0].outcome, StepOutcome::Done);
  EXPECT_TRUE(normalizeError_.isEmpty());
  EXPECT_FALSE(QFile::exists(out_.filePath("full.nor")));

  Settings().NormalizePercent = 50;
  RipEvents half;
  Rip(1, "half", half);
  const QByteArray halved = ReadBytes(WavPath("half"));
  ASSERT_EQ(halved.size(), extracted.size());
  EXPECT_EQ(halved.left(44), extracted.left(44));
  for (int i = 44; i < extracted.size(); i += 2) {
    const auto s = qFromLittleEndian<qint16>(extracted.constData() + i);
    ASSERT_EQ(qFromLittleEndian<qint16>(halved.constData() + i), ScaleSample(s, 0.5f)) << i;
  }

  // The temporary file cannot be created: the extracted WAV stays and the track succeeds.
  ASSERT_TRUE(QDir(out_.path()).mkdir("blocked.nor"));
  RipEvents blocked;
  Rip(1, "blocked", blocked);
  EXPECT_EQ(ReadBytes(WavPath("blocked")), extracted);
  EXPECT_FALSE(normalizeError_.isEmpty());
  ASSERT_EQ(blocked.ends.size(), 1u);
  EXPECT_EQ(blocked.ends[0].outcome, StepOutcome::Done);
}

TEST(ScaleSampleTest, RoundsHalvesToEven) {
  struct Case {
    qint16 in;
    float gain;
    qint16 out;
  };
  const Case cases[] = {
      {3, 0.5f, 2},       {-3, 0.5f, -2},       {5, 0.5f, 2},   {7, 0.5f, 4},
      {1, 0.5f, 0},       {-1, 0.5f, 0},        {32767, 1.0f, 32767},
      {-32768, 1.0f, -32768}, {-32768, 0.5f, -16384}, {1234, 0.0f, 0},
      {30000, 2.0f, 32767}, {-30000, 2.0f, -32768},  // hand-edited gains above 100 % clip
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleSample(c.in, c.gain), c.out) << c.in << " x " << c.gain;
}

}  // namespace
}  // namespace trackmill
