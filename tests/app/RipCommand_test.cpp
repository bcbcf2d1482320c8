// The toc and rip commands, run as the user runs them.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QThread>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "common/DataFolder.h"
#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::ReadBytes;
using test::RunProgram;
using test::TestDisc;
using test::TrackmillProgram;

class RipCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings() = TSettings{}; }
  void TearDown() override { ClearDiscImages(); }
  // Names the disc's tracks in the disc-info cache, as the window does when it closes.
  void NameTracks(const TestDisc& disc, const QStringList& titles) {
    AddDiscImage(disc.CuePath());
    TrackList list;
    list.Show(0);
    ASSERT_EQ(list.Rows.size(), size_t(titles.size()));
    for (int i = 0; i < titles.size(); ++i) list.Rows[size_t(i)].Title = titles[i];
    list.Close();
    ClearDiscImages();
  }
  QTemporaryDir out_;
};

TEST_F(RipCommandTest, TocListsTheTracks) {
  TestDisc disc({"240s", "30s:75"});
  ASSERT_TRUE(disc.Ok());
  const auto result = RunProgram(TrackmillProgram(), {"toc", "--disc-image", disc.CuePath()});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(result.out),
            "1\tTrack01\t04:01\t40.54\n"  // the pregap of track 2 belongs to track 1
            "2\tTrack02\t00:30\t05.05\n"
            "Image disc.cue\n");
}

TEST_F(RipCommandTest, BadImagesOrOptionsFailClearly) {
  TestDisc disc({"20"});
  ASSERT_TRUE(disc.Ok());
  const QString garbage = out_.filePath("garbage.cue");
  ASSERT_TRUE(test::WriteBytes(garbage, "this is no cue sheet\n\x01\x02"));
  QByteArray tracks = "FILE \"x.bin\" BINARY\n";
  for (int track = 1; track <= 5000; ++track) tracks += "TRACK " + QByteArray::number(track) + " AUDIO\nINDEX 01 00:00:00\n";
  const QString many = out_.filePath("many.cue");
  ASSERT_TRUE(test::WriteBytes(many, tracks));
  struct Case {
    QStringList args;
    QString message;
  };
  const Case cases[] = {
      {{"toc", "--disc-image", "/nonexistent/disc.cue"}, "/nonexistent/disc.cue: no such file"},
      {{"rip", "--no-ctdb", "--disc-image", "/nonexistent/disc.cue", "--format", "wav"}, "/nonexistent/disc.cue: no such file"},
      {{"toc", "--disc-image", out_.path()}, "a folder, not a disc image"},
      {{"toc", "--disc-image", garbage}, garbage + ": not a readable disc image"},
      {{"toc", "--disc-image", many}, "more tracks than a CD holds"},
      {{"toc", "--disc-image"}, "--disc-image needs a file name"},
      {{"toc", "--disc-image", "a.cue", "--drive", "0"}, "not both"},
      {{"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--format", "wav", "--tracks", "2-1"}, "bad track list"},
      {{"rip", "--disc-image", disc.CuePath(), "--read-mode", "careful"}, "bad read mode \"careful\""},
  };
  for (const Case& c : cases) {
    const auto result = RunProgram(TrackmillProgram(), c.args);
    EXPECT_NE(result.exitCode, 0) << c.args.join(' ').toStdString();
    EXPECT_TRUE(result.err.contains(c.message.toUtf8())) << result.err.toStdString();
  }
}

TEST_F(RipCommandTest, RipsChosenTracksUnderTheirCleanedTitles) {
  TestDisc disc({"75", "40:10", "52"});
  ASSERT_TRUE(disc.Ok());
  NameTracks(disc, {"AC/DC: Live?", "Second", "Third \"quoted\""});
  const auto result =
      RunProgram(TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--tracks", "1,3", "--format",
                                      "wav", "--output", out_.path(), "--no-accuraterip"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(QDir(out_.path()).entryList({"*.wav"}, QDir::Files, QDir::Name),
            QStringList({"ACDC Live.wav", "Third \"quoted\".wav"}));
  const QString first = out_.filePath("ACDC Live.wav");
  EXPECT_EQ(ReadBytes(first).mid(44), disc.ExpectedTrack(1));
  EXPECT_EQ(ReadBytes(out_.filePath("Third \"quoted\".wav")).mid(44), disc.ExpectedTrack(3));
  if (test::HaveProgram("sox")) {
    const auto info = RunProgram("sox", {"--i", first});
    EXPECT_TRUE(info.out.contains("Channels       : 2")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("Sample Rate    : 44100"));
    EXPECT_TRUE(info.out.contains("= 49980 samples"));  // 75 sectors + the next pregap of 10
  }
  // The command line never writes the settings file.
  EXPECT_FALSE(QFile::exists(SettingsFilePath()));
}

// A tagged MP3 with its ReplayGain is written by the encoder and one tag write (ID3v2, ID3v1
// and the gain together): the output folder sees at most two opens for writing.
TEST_F(RipCommandTest, ATaggedMp3IsWrittenByTheEncoderAndOneTagWrite) {
  if (!test::HaveProgram("strace") || !test::HaveProgram("lame")) GTEST_SKIP() << "strace or lame missing";
  TestDisc disc({"150"});
  ASSERT_TRUE(disc.Ok());
  NameTracks(disc, {"Song"});
  QFile ini(SettingsFilePath());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[ID3]\nUse=1\n[ReplayGain]\nMode=1\n");
  ini.close();
  QTemporaryDir traces;
  const QString trace = traces.filePath("openat");
  // LeakSanitizer cannot run under ptrace: a sanitized build traced here checks no leaks.
  const QByteArray sanitizerOptions = qgetenv("ASAN_OPTIONS");
  qputenv("ASAN_OPTIONS", sanitizerOptions + (sanitizerOptions.isEmpty() ? "" : ":") + "detect_leaks=0");
  const auto result = RunProgram("strace", {"-f", "-e", "trace=openat,linkat", "-o", trace, TrackmillProgram(), "rip",
                                            "--disc-image", disc.CuePath(), "--format", "mp3", "--output",
                                            out_.path(), "--no-accuraterip"});
  if (sanitizerOptions.isEmpty()) qunsetenv("ASAN_OPTIONS");
  else qputenv("ASAN_OPTIONS", sanitizerOptions);
  QFile::remove(SettingsFilePath());
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString mp3 = out_.filePath("Song.mp3");
  const QByteArray bytes = ReadBytes(mp3);
  EXPECT_TRUE(bytes.startsWith("ID3\x04"));
  EXPECT_TRUE(bytes.right(128).startsWith("TAG"));
  EXPECT_TRUE(bytes.contains("REPLAYGAIN_TRACK_GAIN"));
  // Opens with write access of the MP3 under any name, the encoder's partial one included, and
  // of unnamed files in its folder that then become it (each tag write replaces the file whole).
  const QRegularExpression openLine(QString::fromUtf8(R"re(^(\d+)\s+openat\(AT_FDCWD, "([^"]+)", ([A-Z_|]+).*\) = (\d+)$)re"));
  const QRegularExpression linkLine(QString::fromUtf8(R"re(^(\d+)\s+linkat\(AT_FDCWD, "/proc/self/fd/(\d+)", AT_FDCWD, "([^"]+)".*\) = 0$)re"));
  QStringList writes;
  QSet<QString> unnamed;  // "pid fd"
  for (const QString& line : QString::fromUtf8(ReadBytes(trace)).split('\n')) {
    if (const auto m = openLine.match(line); m.hasMatch() && m.captured(3).contains(QRegularExpression("O_(WRONLY|RDWR)"))) {
      if (m.captured(3).contains("O_TMPFILE") && m.captured(2) == out_.path())
        unnamed.insert(m.captured(1) + ' ' + m.captured(4));
      else if (m.captured(2).startsWith(out_.filePath("Song.")) && m.captured(2).contains(".mp3"))
        writes << line;
    } else if (const auto l = linkLine.match(line);
               l.hasMatch() && l.captured(3).startsWith(mp3) && unnamed.remove(l.captured(1) + ' ' + l.captured(2))) {
      writes << line;
    }
  }
  EXPECT_LE(writes.size(), 2) << writes.join('\n').toStdString();
  EXPECT_GE(writes.size(), 1);
}

TEST_F(RipCommandTest, OverlongTitlesAreShortenedToAFileName) {
  TestDisc disc({"20", "20"});
  ASSERT_TRUE(disc.Ok());
  NameTracks(disc, {QString(300, 'x'), QString(100, QChar(0x2605))});
  const auto result = RunProgram(TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--format",
                                                      "wav", "--output", out_.path(), "--no-accuraterip"});
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(QFile::exists(out_.filePath(QString(251, 'x') + ".wav")));
  EXPECT_TRUE(QFile::exists(out_.filePath(QString(83, QChar(0x2605)) + ".wav")));  // 3 bytes each
}

TEST_F(RipCommandTest, FileSizeLimitIsAnErrorNotASuccess) {
  TestDisc disc({"300"});
  ASSERT_TRUE(disc.Ok());
  QProcess process;
  process.setChildProcessModifier([] {
    rlimit limit{100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  process.start(TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--format", "wav", "--output",
                                     out_.path(), "--no-accuraterip"});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);  // not killed by SIGXFSZ
  EXPECT_NE(process.exitCode(), 0);
  EXPECT_TRUE(process.readAllStandardError().contains("Track01.wav"));
  // Nothing half-made under the final name, nor an empty log or cue sheet.
  EXPECT_FALSE(QFile::exists(out_.filePath("Track01.wav")));
  for (const QString& file : QDir(out_.path()).entryList({"*.log", "*.cue"}, QDir::Files))
    EXPECT_GT(QFileInfo(out_.filePath(file)).size(), 0) << file.toStdString();
}

TEST_F(RipCommandTest, AKilledRipLeavesNothingUnderAFinalName) {
  TestDisc disc({"300"});
  ASSERT_TRUE(disc.Ok());
  QProcess process;
  process.start(TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--format", "flac", "--output",
                                     out_.path(), "--no-accuraterip"});
  const auto parts = [&] { return QDir(out_.path()).entryList({".*.part"}, QDir::Files | QDir::Hidden); };
  QElapsedTimer clock;
  clock.start();
  while (parts().isEmpty() && clock.elapsed() < 30000) QThread::msleep(2);
  ASSERT_FALSE(parts().isEmpty());
  process.kill();
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(QDir(out_.path()).entryList({"*.wav", "*.flac"}, QDir::Files), QStringList());
}

TEST_F(RipCommandTest, TocAndLogNameTheDamageMapAndAMalformedOneRefusesTheImage) {
  TestDisc disc({"75"});
  ASSERT_TRUE(disc.Ok());
  const QString map = disc.CuePath() + ".damage";
  const QString line = "Damage map: " + QFileInfo(map).absoluteFilePath() + " (1 directive)";
  ASSERT_TRUE(test::WriteBytes(map, "stable 10\n"));
  const auto toc = RunProgram(TrackmillProgram(), {"toc", "--disc-image", disc.CuePath()});
  ASSERT_EQ(toc.exitCode, 0) << toc.err.toStdString();
  EXPECT_TRUE(toc.out.endsWith("Image disc.cue\n" + line.toUtf8() + "\n")) << toc.out.toStdString();
  const auto rip = RunProgram(TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", disc.CuePath(), "--format", "wav",
                                                   "--output", out_.path(), "--no-accuraterip"});
  ASSERT_EQ(rip.exitCode, 0) << rip.err.toStdString();
  EXPECT_TRUE(ReadBytes(out_.filePath("Unknown Artist - Unknown Album.log")).contains(line.toUtf8() + "\n"));
  EXPECT_NE(ReadBytes(out_.filePath("Track01.wav")).mid(44), disc.ExpectedTrack(1));

  ASSERT_TRUE(test::WriteBytes(map, "stable 10\nrandom 20 bytes=many\n"));
  QTemporaryDir empty;
  const QStringList image{"--disc-image", disc.CuePath()};
  const QStringList ripOptions{"--format", "wav", "--output", empty.path(), "--no-accuraterip"};
  for (const QStringList& args : {QStringList{"toc"} + image, QStringList{"rip"} + image + ripOptions}) {
    const auto result = RunProgram(TrackmillProgram(), args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(map.toUtf8() + ", line 2: bytes= takes 1 to 2352")) << result.err.toStdString();
  }
  EXPECT_TRUE(QDir(empty.path()).isEmpty());
}

TEST_F(RipCommandTest, SecureModeReportsWhatItCouldNotProveAndExitsWith4) {
  TestDisc disc({"75", "75"});
  ASSERT_TRUE(disc.Ok());
  ASSERT_TRUE(test::WriteBytes(disc.CuePath() + ".damage", "random 20-21\nunreadable 105-106\n"));
  const QStringList args{"rip", "--disc-image", disc.CuePath(), "--format", "wav", "--output", out_.path(),
                         "--no-accuraterip", "--yes"};
  const auto secure = RunProgram(TrackmillProgram(), args);
  EXPECT_EQ(secure.exitCode, 4) << secure.err.toStdString();
  EXPECT_TRUE(secure.out.contains("Track 01: Copy OK; re-reads ")) << secure.out.toStdString();
  EXPECT_TRUE(secure.out.contains("Track 02: Copy finished with 1 suspicious positions: 0:00.30-0:00.31; "))
      << secure.out.toStdString();
  EXPECT_EQ(ReadBytes(out_.filePath("Track01.wav")).mid(44), disc.ExpectedTrack(1));
  EXPECT_TRUE(ReadBytes(out_.filePath("Unknown Artist - Unknown Album.log"))
                  .contains("\n  Copy finished with 1 suspicious positions: 0:00.30-0:00.31\n  Re-reads: "));
  // Read once, the unreadable sectors fail the track.
  const auto fast = RunProgram(TrackmillProgram(), args + QStringList{"--read-mode", "fast"});
  EXPECT_EQ(fast.exitCode, 1) << fast.out.toStdString();
  EXPECT_FALSE(fast.out.contains("Copy")) << fast.out.toStdString();
}

}  // namespace
}  // namespace trackmill
