// The rip command as a CD job: a generated disc image through extraction, encoding and tags.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

// Lengths by the table of contents: the second track's pre-gap belongs to the first.
constexpr double kTrackSeconds[] = {4.0, 2.0, 4.0};

class RipJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = QDir(tmp_.path());
    dir_.mkdir("home");
    qputenv("TRACKMILL_HOME", Path("home").toUtf8());
    ASSERT_EQ(test::RunProgram(test::ToolProgram("discimage"),
                               {"--music", "--out", Path("disc"), "--track", "3s", "--track",
                                "2s:75", "--track", "4s"})
                  .exitCode,
              0);
    WriteDiscInfo();
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Titles and disc fields of the image in cdinfo.dat, and ID3 on, as a user would have them.
  void WriteDiscInfo(const QStringList& titles = {"-Opening; `act`", "Intermezzo", "Café Finale"}) {
    ClearDiscImages();
    AddDiscImage(Path("disc.cue"));
    TrackList list;
    list.Show(0);
    ASSERT_NE(list.Drive, nullptr);
    const QString id = list.DiscIdentifier;
    id_ = id;
    list.Drive->Close();
    ASSERT_FALSE(id.isEmpty());
    QFile info(Path("home/cdinfo.dat"));
    ASSERT_TRUE(info.open(QIODevice::WriteOnly));
    info.write(QStringLiteral("[%1]\nArtist=The Übertones\nAlbum=Live \"at\" $HOME\nYear=1999\n"
                              "Genre=%2\nComment=demo disc\nTrackNumber=3\n1=%3\n2=%4\n3=%5\n")
                   .arg(id)
                   .arg(GenreToListIndex(17))
                   .arg(titles[0], titles[1], titles[2])
                   .toUtf8());
    info.close();
    QFile options(Path("home/options.ini"));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("[ID3]\nUse=1\n[CommonOptions]\nEncoderProcesses=2\n");
  }
  test::ProcessResult Rip(const QStringList& extra) {
    return test::RunProgram(
        test::TrackmillProgram(),
        QStringList{"rip", "--no-ctdb", "--disc-image", Path("disc.cue"), "--output", Path("out"), "--no-accuraterip"} +
            extra);
  }
  // The tracks, without the rip log and cue sheet.
  QStringList OutputFiles() const {
    return QDir(Path("out"))
        .entryList({"*.mp3", "*.ogg", "*.wma", "*.wav", "*.flac"}, QDir::Files, QDir::Name);
  }

  QTemporaryDir tmp_;
  QDir dir_;
  QString id_;
};

TEST_F(RipJobTest, Mp3WithId3TagsAndNoIntermediateWavs) {
  const auto result = Rip({"--format", "mp3"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.contains("3 of 3 tracks done"));
  // Encoded two at a time, reported in track order; the caption follows the oldest track.
  EXPECT_TRUE(result.out.contains("Opening; `act`.mp3\ndone: " + Path("out/Intermezzo.mp3").toUtf8()))
      << result.out.toStdString();
  EXPECT_TRUE(result.err.contains("Encoding(01/03): -Opening")) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(),
            QStringList({"-Opening; `act`.mp3", "Café Finale.mp3", "Intermezzo.mp3"}));
  EXPECT_NEAR(test::ProbeDuration(Path("out/-Opening; `act`.mp3")), kTrackSeconds[0], 0.1);
  EXPECT_NEAR(test::ProbeDuration(Path("out/Intermezzo.mp3")), kTrackSeconds[1], 0.1);
  const QString tags = test::ProbeField(Path("out/Café Finale.mp3"), "format_tags");
  for (const char* expected : {"album=Live \"at\" $HOME", "date=1999", "track=3", "genre=Rock",
                               "comment=demo disc"})
    EXPECT_TRUE(tags.contains(expected)) << expected << "\n" << tags.toStdString();
  // ID3v1 text is ISO-8859-1, which ffprobe cannot show: look at the block itself.
  QFile mp3(Path("out/Café Finale.mp3"));
  ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
  const QByteArray block = mp3.readAll().right(128);
  EXPECT_TRUE(block.startsWith("TAG" + QString("Café Finale").toLatin1()));
  EXPECT_EQ(block.mid(33, 13), QString("The Übertones").toLatin1());
}

TEST_F(RipJobTest, OggWithVorbisComments) {
  if (!test::HaveProgram("ogginfo") || !test::HaveProgram("vorbiscomment")) GTEST_SKIP();
  const auto result = Rip({"--format", "ogg", "--tracks", "1,3"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(), QStringList({"-Opening; `act`.ogg", "Café Finale.ogg"}));
  EXPECT_EQ(test::RunProgram("ogginfo", {Path("out/Café Finale.ogg")}).exitCode, 0);
  EXPECT_NEAR(test::ProbeDuration(Path("out/Café Finale.ogg")), kTrackSeconds[2], 0.1);
  const QString comments = QString::fromUtf8(
      test::RunProgram("vorbiscomment", {"-l", "-R", Path("out/Café Finale.ogg")}).out);
  for (const char* expected : {"title=Café Finale", "artist=The Übertones", "date=1999",
                               "genre=Rock", "tracknumber=3"})
    EXPECT_TRUE(comments.contains(QString::fromUtf8(expected), Qt::CaseInsensitive))
        << expected << "\n" << comments.toStdString();
}

TEST_F(RipJobTest, FullTagsWithTheKeptCoverAndReplayGain) {
  for (const char* tool : {"mid3v2", "vorbiscomment", "metaflac", "ffmpeg"})
    if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
  // A guest on track 2 as a MusicBrainz lookup records it, a kept cover, album gain on.
  QFile info(Path("home/cdinfo.dat"));
  ASSERT_TRUE(info.open(QIODevice::Append));
  info.write("Artist2=Zoë Ωmega\n");
  info.close();
  ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"), "[ID3]\nUse=1\n[ReplayGain]\nMode=2\n"));
  ASSERT_TRUE(QDir().mkpath(Path("home/covers")));
  const QString cover = Path("home/covers/" + id_ + ".jpg");
  ASSERT_EQ(test::RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=s=80x80", "-frames:v", "1", cover}).exitCode, 0);

  auto result = Rip({"--format", "mp3"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(test::ReadBytes(Path("out/cover.jpg")), test::ReadBytes(cover));
  QStringList albumGains;
  for (const char* file : {"out/-Opening; `act`.mp3", "out/Intermezzo.mp3", "out/Café Finale.mp3"}) {
    const QString tags = QString::fromUtf8(test::RunProgram("mid3v2", {"-l", Path(file)}).out);
    EXPECT_TRUE(tags.contains("APIC=cover front") && tags.contains("TXXX=REPLAYGAIN_TRACK_GAIN=")) << tags.toStdString();
    albumGains << tags.section("TXXX=REPLAYGAIN_ALBUM_GAIN=", 1).section('\n', 0, 0);
  }
  EXPECT_FALSE(albumGains[0].isEmpty());
  EXPECT_EQ(albumGains.count(albumGains[0]), 3) << albumGains.join(',').toStdString();
  const QString guest = QString::fromUtf8(test::RunProgram("mid3v2", {"-l", Path("out/Intermezzo.mp3")}).out);
  for (const char* expected : {"TPE1=Zoë Ωmega", "TPE2=The Übertones", "TRCK=2/3", "TIT2=Intermezzo"})
    EXPECT_TRUE(guest.contains(QString::fromUtf8(expected))) << expected << "\n" << guest.toStdString();
  EXPECT_EQ(test::ReadBytes(Path("out/Intermezzo.mp3")).right(128).mid(33, 13), QString("The Übertones").toLatin1());

  result = Rip({"--format", "ogg", "--tracks", "2"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString comments = QString::fromUtf8(test::RunProgram("vorbiscomment", {"-l", "-R", Path("out/Intermezzo.ogg")}).out);
  for (const char* expected : {"ARTIST=Zoë Ωmega", "ALBUMARTIST=The Übertones", "TRACKTOTAL=3",
                               "METADATA_BLOCK_PICTURE=", "REPLAYGAIN_ALBUM_GAIN="})
    EXPECT_TRUE(comments.contains(QString::fromUtf8(expected))) << expected << "\n" << comments.toStdString();

  // FLAC, encoded two at a time: the disc's tags whatever the MP3 tag setting.
  ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"), "[ReplayGain]\nMode=2\n[CommonOptions]\nEncoderProcesses=2\n"));
  result = Rip({"--format", "flac", "--no-accuraterip"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString flac = QString::fromUtf8(
      test::RunProgram("metaflac", {"--list", "--no-utf8-convert", Path("out/Intermezzo.flac")}).out);
  for (const char* expected : {"type: 6 (PICTURE)", "ARTIST=Zoë Ωmega", "ALBUMARTIST=The Übertones", "TRACKNUMBER=2",
                               "REPLAYGAIN_ALBUM_GAIN="})
    EXPECT_TRUE(flac.contains(QString::fromUtf8(expected))) << expected << "\n" << flac.toStdString();

  // The cover scaled to the edge the settings allow, only in the files or only beside them.
  for (const char* placement : {"1", "2"}) {
    QFile::remove(Path("out/cover.jpg"));
    ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"),
                                 QByteArray("[MusicBrainz]\nCoverMaxEdge=40\nCoverPlacement=") + placement + "\n"));
    ASSERT_EQ(Rip({"--format", "flac", "--tracks", "1", "--yes", "--no-accuraterip"}).exitCode, 0);
    const QString embedded = Path(QStringLiteral("embedded%1.jpg").arg(placement));
    test::RunProgram("metaflac", {"--export-picture-to=" + embedded, Path("out/-Opening; `act`.flac")});
    const QString kept = *placement == '1' ? embedded : Path("out/cover.jpg");
    EXPECT_TRUE(test::ProbeField(kept, "stream=width").contains("40")) << placement;
    EXPECT_EQ(QFile::exists(embedded), *placement == '1');
    EXPECT_EQ(QFile::exists(Path("out/cover.jpg")), *placement == '2');
  }
}

TEST_F(RipJobTest, WmaAndWav) {
  auto result = Rip({"--format", "wma", "--tracks", "2"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(), QStringList({"Intermezzo.wma"}));
  EXPECT_TRUE(test::ProbeField(Path("out/Intermezzo.wma"), "stream=codec_name").contains("wmav2"));
  EXPECT_NEAR(test::ProbeDuration(Path("out/Intermezzo.wma")), kTrackSeconds[1], 0.1);

  QDir(Path("out")).removeRecursively();
  result = Rip({"--format", "wav"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  // The WAV holds exactly the sectors of the track in the image.
  QFile wav(Path("out/Intermezzo.wav"));
  QFile bin(Path("disc.bin"));
  ASSERT_TRUE(wav.open(QIODevice::ReadOnly) && bin.open(QIODevice::ReadOnly));
  const QByteArray data = wav.readAll().mid(44);
  EXPECT_EQ(data.size(), 2 * 44100 * 4);
  EXPECT_TRUE(bin.readAll().contains(data));
}

TEST_F(RipJobTest, FlacIsBitExactWithCommentsAndSignature) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac tools missing";
  const auto result = Rip({"--format", "flac"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(), QStringList({"-Opening; `act`.flac", "Café Finale.flac", "Intermezzo.flac"}));
  const QString flac = Path("out/Café Finale.flac");
  EXPECT_EQ(test::RunProgram("flac", {"-t", "-s", flac}).exitCode, 0);
  const QString tags = QString::fromUtf8(test::RunProgram("metaflac", {"--export-tags-to=-", flac}).out);
  for (const char* expected : {"ARTIST=The Übertones", "ALBUM=Live \"at\" $HOME", "TITLE=Café Finale",
                               "DATE=1999", "GENRE=Rock", "TRACKNUMBER=3", "TRACKTOTAL=3"})
    EXPECT_TRUE(tags.contains(QString::fromUtf8(expected))) << expected << "\n" << tags.toStdString();
  EXPECT_NE(test::RunProgram("metaflac", {"--show-md5sum", flac}).out.trimmed(), QByteArray(32, '0'));
  // Decoding gives back the disc's samples.
  const auto raw = test::RunProgram(
      "flac", {"-d", "-s", "-c", "--force-raw-format", "--endian=little", "--sign=signed", flac});
  ASSERT_EQ(raw.out.size(), 4 * 44100 * 4);
  EXPECT_TRUE(test::ReadBytes(Path("disc.bin")).contains(raw.out));
}

TEST_F(RipJobTest, LogAndCueSheetDescribeTheDisc) {
  if (!test::HaveProgram("cueconvert") || !test::HaveProgram("cueprint")) GTEST_SKIP() << "cuetools missing";
  QFile info(Path("home/cdinfo.dat"));
  ASSERT_TRUE(info.open(QIODevice::Append));
  info.write("Artist2=A Guest\n");
  info.close();
  const auto result = Rip({"--format", "wav"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QString base = Path("out/The Übertones - Live \"at\" $HOME");
  const QString log = QString::fromUtf8(test::ReadBytes(base + ".log"));
  for (const char* expected : {"Trackmill 4.1", "Read offset: 0 samples", "disc.cue",
                               "File: ", "CRC32: ", "AccurateRip: not looked up", "No errors"})
    EXPECT_TRUE(log.contains(QString::fromUtf8(expected))) << expected << "\n" << log.toStdString();
  const QString cue = base + ".cue";
  const auto printed = test::RunProgram("cueprint", {"-d", "%N %P\\n", "-t", "%n %t (%p)\\n", cue});
  ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
  EXPECT_EQ(printed.out.toStdString(), "3 The Übertones\n1 -Opening; `act` ()\n2 Intermezzo (A Guest)\n3 Café Finale ()\n");
  // cuetools' reading of the cue sheet, with the files' lengths, gives back the table of
  // contents: 3 s, then 2 s whose second of pregap ends the first file, then 4 s.
  const QStringList toc =
      QString::fromUtf8(test::RunProgram("cueconvert", {"-i", "cue", "-o", "toc", cue}).out)
          .split('\n', Qt::SkipEmptyParts);
  const QStringList files = toc.filter("FILE ");
  ASSERT_EQ(files.size(), 3) << toc.join('\n').toStdString();
  EXPECT_EQ(files[0], "FILE \"-Opening; `act`.wav\" 0 00:03:00");
  EXPECT_EQ(files[1], "FILE \"-Opening; `act`.wav\" 00:03:00");          // track 2's pregap ends file 1
  EXPECT_EQ(files[2], QString::fromUtf8("FILE \"Café Finale.wav\" 0"));  // track 3 has none
  const double fileSeconds[] = {test::ProbeDuration(Path("out/-Opening; `act`.wav")),
                                test::ProbeDuration(Path("out/Intermezzo.wav"))};
  EXPECT_NEAR(fileSeconds[0], 3.0 + 1.0, 0.01);                   // track 2 starts after file 1: at 4 s
  EXPECT_NEAR(fileSeconds[0] + fileSeconds[1], 4.0 + 2.0, 0.01);  // track 3 after file 2: at 6 s
  EXPECT_TRUE(test::ReadBytes(cue).startsWith("REM DISCID "));

  // Another disc's log under the same name stays unless the user agrees; this disc's own is
  // simply renewed.
  // (--no also skips track 1, whose file exists.)
  ASSERT_TRUE(test::WriteBytes(base + ".log", "another disc\n"));
  ASSERT_EQ(Rip({"--format", "wav", "--tracks", "1", "--no"}).exitCode, 1);
  EXPECT_EQ(test::ReadBytes(base + ".log"), "another disc\n");
  ASSERT_EQ(Rip({"--format", "wav", "--tracks", "1", "--yes"}).exitCode, 0);
  EXPECT_TRUE(test::ReadBytes(base + ".log").contains("Trackmill 4.1"));
  // A rip that writes no track leaves the log and cue sheet of the one before.
  const QByteArray log1 = test::ReadBytes(base + ".log"), cue1 = test::ReadBytes(base + ".cue");
  ASSERT_EQ(Rip({"--format", "wav", "--no"}).exitCode, 1);
  EXPECT_EQ(test::ReadBytes(base + ".log"), log1);
  EXPECT_EQ(test::ReadBytes(base + ".cue"), cue1);
}

TEST_F(RipJobTest, PatternPutsTracksInFoldersWhateverTheTitlesHoldWithTheLogBesideThem) {
  WriteDiscInfo({"../../x", QString(300, QLatin1Char('a')), "-rf"});
  QFile info(Path("home/cdinfo.dat"));
  ASSERT_TRUE(info.open(QIODevice::Append));
  info.write("DiscNumber=2\nDiscTotal=2\n");
  info.close();
  const auto result = Rip({"--format", "wav", "--pattern", "%A/%l (%y)/Disc %d/%n - %t"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  const QDir disc(Path("out/The Übertones/Live \"at\" $HOME (1999)/Disc 2"));
  const QString longName = "02 - " + QString(246, QLatin1Char('a')) + ".wav";  // 255 bytes
  EXPECT_EQ(disc.entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({"01 - x.wav", longName, "03 - -rf.wav", "The Übertones - Live \"at\" $HOME.cue",
                         "The Übertones - Live \"at\" $HOME.log"}));
  EXPECT_EQ(QDir(Path("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"The Übertones"}));
  EXPECT_FALSE(QFile::exists(Path("x.wav")));
  const auto printed = test::RunProgram("cueconvert", {"-i", "cue", "-o", "toc", disc.filePath("The Übertones - Live \"at\" $HOME.cue")});
  EXPECT_TRUE(printed.out.contains("FILE \"01 - x.wav\"")) << printed.out.toStdString();
}

TEST_F(RipJobTest, ParallelRipReportsReadErrorsInTrackOrder) {
  // The .bin ends inside track 2: its read fails halfway, track 3's at once.
  ASSERT_EQ(test::RunProgram(test::ToolProgram("discimage"), {"--out", Path("cut"), "--track", "3s", "--track",
                                                              "2s", "--track", "3s", "--bin-sectors", "300"})
                .exitCode,
            0);
  const auto result = test::RunProgram(test::TrackmillProgram(),
                                       {"rip", "--no-ctdb", "--disc-image", Path("cut.cue"), "--output", Path("cutout"),
                                        "--format", "flac", "--no-accuraterip", "--yes"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.out.contains("done: " + Path("cutout/Track01.flac").toUtf8() + "\nfailed: " +
                                  Path("cutout/Track02.flac").toUtf8() + "\nfailed: " +
                                  Path("cutout/Track03.flac").toUtf8()))
      << result.out.toStdString();
  EXPECT_EQ(QDir(Path("cutout")).entryList({"*.flac"}, QDir::Files), QStringList({"Track01.flac"}));
  EXPECT_EQ(result.err.count("Error while reading CD information!"), 2) << result.err.toStdString();
  const auto toc = test::RunProgram(test::TrackmillProgram(), {"toc", "--disc-image", Path("cut.cue")});
  EXPECT_FALSE(toc.out.contains('-')) << toc.out.toStdString();  // no negative length
  // What the failed reads wrote goes: nothing half-read stays, under a final name or another.
  EXPECT_EQ(QDir(Path("cutout")).entryList({"*.wav", "*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

// Tracks of one title get files of their own, each holding its track, in every format.
TEST_F(RipJobTest, SameTitlesGetFilesOfTheirOwn) {
  WriteDiscInfo({"Intro", "Intro", "Intro"});
  for (const QString format : {"wav", "flac", "ogg", "mp3"}) {
    const auto result = Rip({"--format", format});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    for (int track = 0; track < 3; ++track) {
      const QString name = track == 0 ? QStringLiteral("Intro") : QStringLiteral("Intro (%1)").arg(track + 1);
      EXPECT_NEAR(test::ProbeDuration(Path("out/" + name + "." + format)), kTrackSeconds[track], 0.1)
          << format.toStdString() << " " << name.toStdString();
    }
  }
}

// A declined overwrite leaves the file as it was and skips the track, in every format and
// either way of encoding; a user's own WAV never stands in for the intermediate one.
TEST_F(RipJobTest, DeclinedAndForeignFilesStayAsTheyWere) {
  ASSERT_TRUE(dir_.mkpath("out"));
  for (const char* processes : {"1", "2"}) {
    ASSERT_TRUE(test::WriteBytes(Path("home/options.ini"), QByteArray("[CommonOptions]\nEncoderProcesses=") + processes));
    for (const QString format : {"wav", "flac", "ogg", "mp3"}) {
      const QString mine = Path("out/Intermezzo." + format);
      ASSERT_TRUE(test::WriteBytes(mine, "mine"));
      const auto declined = Rip({"--format", format, "--tracks", "2", "--no"});
      EXPECT_EQ(declined.exitCode, 1);
      EXPECT_TRUE(declined.out.contains("0 of 1 tracks done")) << declined.out.toStdString();
      EXPECT_EQ(test::ReadBytes(mine), "mine") << format.toStdString() << processes;
      QFile::remove(mine);
    }
    ASSERT_TRUE(test::WriteBytes(Path("out/Intermezzo.wav"), "my own"));
    EXPECT_EQ(Rip({"--format", "flac", "--tracks", "2", "--yes"}).exitCode, 0);
    EXPECT_EQ(test::ReadBytes(Path("out/Intermezzo.wav")), "my own") << processes;
    EXPECT_NEAR(test::ProbeDuration(Path("out/Intermezzo.flac")), kTrackSeconds[1], 0.1);
  }
  EXPECT_EQ(QDir(Path("out")).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

// Rips into one folder at once share no file: both end well, whichever finishes last.
TEST_F(RipJobTest, ConcurrentRipsIntoOneFolderDoNotTouchEachOther) {
  for (int round = 0; round < 3; ++round) {
    QProcess rips[2];
    for (QProcess& rip : rips)
      rip.start(test::TrackmillProgram(), {"rip", "--no-ctdb", "--disc-image", Path("disc.cue"), "--output", Path("out"),
                                           "--no-accuraterip", "--format", "flac", "--yes"});
    for (QProcess& rip : rips) {
      ASSERT_TRUE(rip.waitForFinished(120000));
      EXPECT_EQ(rip.exitCode(), 0) << rip.readAllStandardError().toStdString();
    }
    for (const QString name : {"-Opening; `act`", "Intermezzo", "Café Finale"}) {
      const QString flac = Path("out/" + name + ".flac");
      if (test::HaveProgram("flac")) {
        EXPECT_EQ(test::RunProgram("flac", {"-t", "-s", flac}).exitCode, 0) << round;
      }
    }
    EXPECT_EQ(QDir(Path("out")).entryList({"*.part", "*.wav"}, QDir::Files | QDir::Hidden), QStringList());
  }
}

TEST_F(RipJobTest, KeepWavKeepsTheIntermediateFiles) {
  QFile options(Path("home/options.ini"));
  ASSERT_TRUE(options.open(QIODevice::WriteOnly));
  options.write("[CommonOptions]\nIsKeepWav=1\nEncoderProcesses=1\n");
  options.close();
  const auto result = Rip({"--format", "mp3", "--tracks", "2"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(OutputFiles(), QStringList({"Intermezzo.mp3", "Intermezzo.wav"}));
}

}  // namespace
}  // namespace trackmill
