// Full tags written through TagLib, read back by tools nobody here wrote: mid3v2 (ID3v2.4),
// vorbiscomment and ogginfo, metaflac; and the tag command keeping both MP3 tags in step.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tags/FullTags.h"
#include "tags/Id3Tag.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::HaveProgram;
using test::ReadBytes;
using test::RunProgram;

class FullTagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sox", "lame", "ffmpeg", "mid3v2", "oggenc", "vorbiscomment", "flac", "metaflac"})
      if (!HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
    wav_ = Path("song.wav");
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", wav_, "synth", "1", "sine", "440"}).exitCode, 0);
    ASSERT_EQ(RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=s=64x64", "-frames:v", "1", Path("front.jpg")}).exitCode, 0);
    tags_.title = QStringLiteral("Ωmega Song");
    tags_.artist = QStringLiteral("Zoë Ñandú");
    tags_.albumArtist = QStringLiteral("The Generated Ensemble");
    tags_.album = QStringLiteral("Sine Studies");
    tags_.year = QStringLiteral("2026");
    tags_.genre = QStringLiteral("Ambient");
    tags_.comment = QStringLiteral("made here");
    tags_.track = 2;
    tags_.trackTotal = 3;
    tags_.coverJpeg = ReadBytes(Path("front.jpg"));
    tags_.trackGain = GainAndPeak{-3.5, 0.5};
    tags_.albumGain = GainAndPeak{-4.25, 0.75};
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  static QString Listing(const char* tool, const QStringList& args) {
    const auto run = RunProgram(tool, args);
    EXPECT_EQ(run.exitCode, 0) << tool << ": " << run.err.constData();
    return QString::fromUtf8(run.out);
  }
  static void ExpectLines(const QString& listing, const QStringList& lines) {
    for (const QString& line : lines) EXPECT_TRUE(listing.contains(line)) << line.toStdString() << "\n" << listing.toStdString();
  }

  QTemporaryDir dir_;
  QString wav_;
  TrackTags tags_;
};

TEST_F(FullTagsTest, Mp3GetsAnId3v24TagInFrontOfItsId3v1Tag) {
  const QString mp3 = Path("song.mp3");
  ASSERT_EQ(RunProgram("lame", {"--silent", wav_, mp3}).exitCode, 0);
  Tid3tag v1;
  v1.SetTitle(tags_.title);
  ASSERT_TRUE(Tid3tag::IsSuccess(v1.WriteTag(mp3)));
  QString error;
  ASSERT_TRUE(WriteFullTags(mp3, tags_, &error)) << error.toStdString();

  const QByteArray bytes = ReadBytes(mp3);
  EXPECT_TRUE(bytes.startsWith(QByteArray("ID3\x04", 4)));
  EXPECT_TRUE(bytes.right(128).startsWith("TAG?mega Song"));  // ISO-8859-1 has no omega
  ExpectLines(Listing("mid3v2", {"-l", mp3}),
              {"TIT2=Ωmega Song", "TPE1=Zoë Ñandú", "TPE2=The Generated Ensemble", "TALB=Sine Studies",
               "TDRC=2026", "TCON=Ambient", "TRCK=2/3", "COMM==eng=made here",
               "TXXX=REPLAYGAIN_TRACK_GAIN=-3.50 dB", "TXXX=REPLAYGAIN_ALBUM_PEAK=0.750000",
               "APIC=cover front,  (image/jpeg, " + QString::number(tags_.coverJpeg.size()) + " bytes)"});

  // The tag command changes the ID3v2 tag with the ID3v1 tag and removes both.
  const QString longTitle = QStringLiteral("A title far longer than thirty characters: ☃");
  auto run = RunProgram(test::TrackmillProgram(), {"tag", "set", mp3, "--title", longTitle, "--track", "5"});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  ExpectLines(Listing("mid3v2", {"-l", mp3}), {"TIT2=" + longTitle, "TRCK=5", "TPE1=Zoë Ñandú"});
  run = RunProgram(test::TrackmillProgram(), {"tag", "remove", mp3});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QByteArray stripped = ReadBytes(mp3);
  EXPECT_FALSE(stripped.startsWith("ID3"));
  EXPECT_FALSE(stripped.right(128).startsWith("TAG"));

  // A file without an ID3v2 tag does not get one from the tag command.
  run = RunProgram(test::TrackmillProgram(), {"tag", "set", mp3, "--title", "Plain"});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_FALSE(ReadBytes(mp3).startsWith("ID3"));
}

TEST_F(FullTagsTest, OggAndFlacGetFullVorbisCommentsAndThePicture) {
  const QString ogg = Path("song.ogg");
  const QString flac = Path("song.flac");
  ASSERT_EQ(RunProgram("oggenc", {"-Q", "-o", ogg, wav_}).exitCode, 0);
  ASSERT_EQ(RunProgram("flac", {"-s", "-o", flac, wav_}).exitCode, 0);
  const QStringList comments = {"TITLE=Ωmega Song", "ARTIST=Zoë Ñandú", "ALBUMARTIST=The Generated Ensemble",
                                "DATE=2026", "GENRE=Ambient", "TRACKNUMBER=2", "TRACKTOTAL=3",
                                "REPLAYGAIN_TRACK_GAIN=-3.50 dB", "REPLAYGAIN_ALBUM_GAIN=-4.25 dB"};
  QString error;
  ASSERT_TRUE(WriteFullTags(ogg, tags_, &error)) << error.toStdString();
  ASSERT_TRUE(WriteFullTags(flac, tags_, &error)) << error.toStdString();

  const QString vorbis = Listing("vorbiscomment", {"-l", "-R", ogg});
  ExpectLines(vorbis, comments + QStringList{"METADATA_BLOCK_PICTURE="});
  EXPECT_EQ(RunProgram("ogginfo", {ogg}).exitCode, 0);
  ExpectLines(Listing("metaflac", {"--list", "--no-utf8-convert", flac}),
              {"type: 6 (PICTURE)", "type: 3 (Cover (front))", "MIME type: image/jpeg",
               ": TITLE=Ωmega Song", "ALBUMARTIST=The Generated Ensemble", "TRACKTOTAL=3"});
  EXPECT_EQ(RunProgram("flac", {"-s", "-t", flac}).exitCode, 0);
}

TEST_F(FullTagsTest, FilesTagLibCannotTagAreLeftAlone) {
  const QString fake = Path("fake.mp3");
  ASSERT_TRUE(test::WriteBytes(fake, "not audio at all"));
  QString error;
  EXPECT_FALSE(WriteFullTags(fake, tags_, &error));
  EXPECT_EQ(ReadBytes(fake), "not audio at all");
  EXPECT_FALSE(WriteFullTags(wav_, tags_, &error));
  EXPECT_FALSE(WriteFullTags(Path("missing.ogg"), tags_, &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace trackmill
