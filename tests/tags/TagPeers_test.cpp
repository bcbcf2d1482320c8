// Tags written here are read by peer tools (ffprobe), and tags written by a peer tool
// (id3v2) are read here; the command line is run as the user runs it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include "tags/Id3Layout.h"
#include "tests/support/PermissionsBind.h"
#include "tests/support/TestPaths.h"
#include "tests/tags/Id3TestFiles.h"

namespace trackmill {
namespace {

using test::HaveProgram;
using test::ReadBytes;
using test::RunProgram;
using test::TrackmillProgram;

class TagPeersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sox", "lame", "ffprobe"})
      if (!HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
    mp3_ = dir_.filePath("song.mp3");
    const QString wav = dir_.filePath("song.wav");
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.5", "sine", "440"}).exitCode, 0);
    ASSERT_EQ(RunProgram("lame", {"--silent", wav, mp3_}).exitCode, 0);
    untagged_ = ReadBytes(mp3_);
    ASSERT_FALSE(untagged_.isEmpty());
  }

  static test::ProcessResult Tag(const QStringList& args) { return RunProgram(TrackmillProgram(), QStringList{"tag"} + args); }

  static QJsonObject Probe(const QString& path) { return test::ProbeFormatTags(path); }

  QTemporaryDir dir_;
  QString mp3_;
  QByteArray untagged_;
};

TEST_F(TagPeersTest, SetIsReadByFfprobeShowAndRemoveRoundTrip) {
  auto result = Tag({"set", mp3_, "--title", "Night Train", "--artist", "The Testers", "--album", "Loopback",
                     "--year", "2004", "--comment", "made; with \"quotes\"", "--track", "7", "--genre", "rock"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(QFile(mp3_).size(), untagged_.size() + 128);
  QJsonObject tags = Probe(mp3_);
  EXPECT_EQ(tags["title"].toString(), "Night Train");
  EXPECT_EQ(tags["artist"].toString(), "The Testers");
  EXPECT_EQ(tags["album"].toString(), "Loopback");
  EXPECT_EQ(tags["date"].toString(), "2004");
  EXPECT_EQ(tags["comment"].toString(), "made; with \"quotes\"");
  EXPECT_EQ(tags["track"].toString(), "7");
  EXPECT_EQ(tags["genre"].toString(), "Rock");

  // Fields not named keep their values; the block is overwritten, not appended again.
  result = Tag({"set", mp3_, "--title", "Day Train", "--track", "0", "--genre", "Gangsta Rap"});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(QFile(mp3_).size(), untagged_.size() + 128);
  result = Tag({"show", mp3_});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(result.out,
            "title: Day Train\nartist: The Testers\nalbum: Loopback\nyear: 2004\n"
            "comment: made; with \"quotes\"\ntrack: 0\ngenre: Gangsta Rap\n");
  tags = Probe(mp3_);
  EXPECT_EQ(tags["title"].toString(), "Day Train");
  EXPECT_FALSE(tags.contains("track"));

  result = Tag({"remove", mp3_});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(ReadBytes(mp3_), untagged_);
  EXPECT_TRUE(Probe(mp3_).isEmpty());
  result = Tag({"remove", mp3_});
  EXPECT_EQ(result.exitCode, 0) << "nothing to remove is not a failure";
}

TEST_F(TagPeersTest, ShowReadsTagWrittenById3v2Tool) {
  if (!HaveProgram("id3v2")) GTEST_SKIP() << "id3v2 is not installed";
  const auto written = RunProgram("id3v2", {"-1", "-t", QString::fromUtf8("Caf\u00e9 Song"), "-a", "Artist", "-A", "Album",
                                            "-y", "1999", "-c", "Comment", "-T", "12", "-g", "8", mp3_});
  ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
  const auto result = Tag({"show", mp3_});
  ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(result.out),
            QString::fromUtf8("title: Caf\u00e9 Song\nartist: Artist\nalbum: Album\nyear: 1999\n"
                              "comment: Comment\ntrack: 12\ngenre: Jazz\n"));
}

TEST_F(TagPeersTest, FailuresExitNonZeroAndLeaveFilesAlone) {
  const QString folder = dir_.filePath("folder.mp3");
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString readOnly = dir_.filePath("ro.mp3");
  ASSERT_TRUE(QFile::copy(mp3_, readOnly));
  ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));

  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{"show", mp3_}, "has no ID3v1 tag"},
      {{"show", dir_.filePath("missing.mp3")}, "does not exist"},
      {{"show", folder}, "not a regular file"},
      {{"set", folder, "--title", "x"}, "not a regular file"},
      {{"set", mp3_, "--track", "300"}, "--track"},
      {{"set", mp3_, "--track"}, "--track"},
      {{"set", mp3_, "--genre", "Polka Metal"}, "unknown genre"},
      {{"set", mp3_, "--titel", "x"}, "unknown argument"},
      {{"show"}, "usage"},
      {{"frobnicate", mp3_}, "usage"},
  };
  const auto expectFailure = [](const Case& c) {
    const auto result = Tag(c.args);
    EXPECT_NE(result.exitCode, 0) << c.args.join(' ').toStdString();
    EXPECT_TRUE(result.err.contains(c.message)) << c.args.join(' ').toStdString() << ": " << result.err.toStdString();
  };
  for (const Case& c : cases) expectFailure(c);
  test::RunWherePermissionsBind([&] { expectFailure({{"set", readOnly, "--title", "x"}, "read-only"}); });
  EXPECT_EQ(ReadBytes(mp3_), untagged_);
  EXPECT_EQ(ReadBytes(readOnly), untagged_);
}

TEST_F(TagPeersTest, FlacAndOggGetVorbisCommentsThatTheirPeersAccept) {
  const QString wav = dir_.filePath("song.wav");
  struct Case {
    const char* name;
    QStringList encode;  // each with the comment ALBUMARTIST=Kept, which the tag command leaves
    QStringList check;
    QStringList list;
  };
  const QString flac = dir_.filePath("song.flac");
  const QString ogg = dir_.filePath("song.ogg");
  const Case cases[] = {
      {"flac", {"flac", "-s", "-T", "ALBUMARTIST=Kept", "-o", flac, wav}, {"flac", "-s", "-t", flac},
       {"metaflac", "--export-tags-to=-", flac}},
      {"oggenc", {"oggenc", "-Q", "-c", "ALBUMARTIST=Kept", "-o", ogg, wav}, {"ogginfo", ogg}, {"vorbiscomment", "-l", ogg}},
  };
  const auto run = [](const QStringList& command) { return RunProgram(command.first(), command.mid(1)); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!HaveProgram(c.encode.first()) || !HaveProgram(c.check.first()) || !HaveProgram(c.list.first())) continue;
    ASSERT_EQ(run(c.encode).exitCode, 0);
    const QString file = c.encode.at(c.encode.size() - 2);
    auto result = Tag({"set", file, "--title", "Why? Either/Or", "--artist", QString::fromUtf8("Zo\u00eb"), "--year",
                       "2004-05", "--track", "7", "--genre", "rock"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(run(c.check).exitCode, 0) << "the stream is intact";
    EXPECT_FALSE(ReadBytes(file).right(128).startsWith("TAG"));
    QString comments = QString::fromUtf8(run(c.list).out);
    for (const char* line : {"TITLE=Why? Either/Or", "ARTIST=Zo\u00eb", "DATE=2004-05", "TRACKNUMBER=7", "GENRE=Rock",
                             "ALBUMARTIST=Kept"})
      EXPECT_TRUE(comments.contains(QString::fromUtf8(line))) << line << "\n" << comments.toStdString();
    result = Tag({"show", file});
    EXPECT_EQ(QString::fromUtf8(result.out), QString::fromUtf8("title: Why? Either/Or\nartist: Zo\u00eb\nalbum: \n"
                                                               "year: 2004-05\ncomment: \ntrack: 7\ngenre: Rock\n"));

    // The ID3v1 block that older versions appended goes with the fields.
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::Append) && damaged.write("TAG" + QByteArray(125, 'x')) == 128);
    damaged.close();
    result = Tag({"remove", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(run(c.check).exitCode, 0);
    comments = QString::fromUtf8(run(c.list).out);
    EXPECT_EQ(comments.trimmed(), "ALBUMARTIST=Kept") << "only the fields set writes are removed";
  }
}

TEST_F(TagPeersTest, FilesItCannotTagAreRefusedAndLeftAlone) {
  const struct {
    const char* name;
    QByteArray bytes;
    const char* message;
  } cases[] = {
      {"empty.mp3", {}, "not an MP3 file"},
      {"noise.mp3", QByteArray(4000, '\x5a'), "not an MP3 file"},
      {"noise.flac", "fLaC but nothing more", "not a FLAC file"},
      {"noise.ogg", "OggS but nothing more", "not an Ogg Vorbis file"},
      {"song.wav", ReadBytes(dir_.filePath("song.wav")), "cannot be tagged"},
  };
  for (const auto& c : cases) {
    const QString file = dir_.filePath(c.name);
    ASSERT_TRUE(test::WriteBytes(file, c.bytes));
    for (const QStringList& args : {QStringList{"set", file, "--title", "x"}, QStringList{"remove", file}}) {
      const auto result = Tag(args);
      EXPECT_EQ(result.exitCode, 1) << c.name;
      EXPECT_TRUE(result.err.contains(c.message)) << c.name << ": " << result.err.toStdString();
    }
    EXPECT_EQ(ReadBytes(file), c.bytes) << c.name;
  }
}

// A tag of 60 KB whose one frame unpacks to 40 MiB (TagLib would hold it four times over as text).
TEST_F(TagPeersTest, ACompressedFrameThatUnpacksWithoutBoundIsRefused) {
  using id3::v2::Synchsafe;
  const QByteArray packed = qCompress("\x03" + QByteArray(40 << 20, 'A'), 9);  // the claimed size, then zlib
  const QByteArray frame = "TIT2" + Synchsafe(packed.size()) + QByteArray("\0\x09", 2) + packed;
  const QByteArray bomb = "ID3\x04" + QByteArray(2, '\0') + Synchsafe(frame.size()) + frame + untagged_;
  ASSERT_TRUE(test::WriteBytes(mp3_, bomb));
  for (const QStringList& args : {QStringList{"set", mp3_, "--title", "x"}, QStringList{"show", mp3_}}) {
    const auto result = Tag(args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("compressed frames that unpack to more than 32 MiB")) << result.err.toStdString();
  }
  EXPECT_EQ(ReadBytes(mp3_), bomb);
}

}  // namespace
}  // namespace trackmill
