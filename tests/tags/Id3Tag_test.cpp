#include "tags/Id3Tag.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>
#include <vector>

#include "tests/support/PermissionsBind.h"
#include "tests/tags/Id3TestFiles.h"

namespace trackmill {
namespace {

using test::Id3v1Block;
using test::ReadBytes;
using test::WriteBytes;

class Id3TagTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString AudioWith(const QByteArray& tail, const QString& name = "a.mp3") const {
    const QString path = Path(name);
    EXPECT_TRUE(WriteBytes(path, QByteArray(1000, '\x55') + tail));
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(Id3TagTest, ReadsBothLayouts) {
  struct Case {
    const char* name;
    QByteArray comment30;
    bool hasTrack;
    int track;
    QString comment;
  };
  const QByteArray v11 = QByteArray("Fine comment").leftJustified(28, '\0') + QByteArray("\0\x07", 2);
  const QByteArray spaced = QByteArray("Thirty character comment here", 29) + QByteArray(" ", 1);
  const Case cases[] = {
      {"1.1 layout", v11, true, 7, "Fine comment"},
      {"space before track byte is 1.0",
       QByteArray("Comment").leftJustified(28, ' ') + QByteArray(" \x07", 2), false, 0,
       QString("Comment").leftJustified(29, ' ') + QChar(7)},
      {"full 30-byte comment", spaced, false, 0, "Thirty character comment here"},
  };
  for (const Case& c : cases) {
    const QString path = AudioWith(Id3v1Block("Title  ", "Artist\xff", "Album", "1999", c.comment30, 17));
    Tid3tag tag;
    EXPECT_EQ(tag.ReadTag(path), Tid3tag::kOk) << c.name;
    EXPECT_EQ(tag.Title, "Title") << "trailing spaces go";
    EXPECT_EQ(tag.Artist, "Artist") << "trailing 0xFF goes";
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Comment, c.comment) << c.name;
    EXPECT_EQ(tag.HasTrack, c.hasTrack) << c.name;
    EXPECT_EQ(tag.Track, c.track) << c.name;
    EXPECT_EQ(tag.Genre, 17);
    EXPECT_EQ(tag.FileName, path);
    EXPECT_FALSE(tag.ReadOnlyFile);
  }
}

TEST_F(Id3TagTest, ReadIsLatin1AndFlagsUnknownGenre) {
  const QString path = AudioWith(Id3v1Block("Caf\xe9", "", "", "", "", 200));
  Tid3tag tag;
  const quint16 status = tag.ReadTag(path);
  EXPECT_EQ(status, Tid3tag::kUnknownGenre);
  EXPECT_TRUE(Tid3tag::IsSuccess(status));
  EXPECT_EQ(tag.Title, QString::fromUtf8("Caf\u00e9"));
  EXPECT_EQ(tag.Genre, 200);
  EXPECT_EQ(tag.ReadTag(AudioWith(Id3v1Block("", "", "", "", "", 255), "b.mp3")), Tid3tag::kOk);
}

TEST_F(Id3TagTest, FailuresGiveStatusAndLeaveFieldsAlone) {
  const QString shortFile = Path("short.mp3");
  ASSERT_TRUE(WriteBytes(shortFile, Id3v1Block("x", "", "", "", "", 1).left(127)));
  const QString untagged = AudioWith(QByteArray(128, 'x'), "untagged.mp3");
  const QString empty = Path("empty.mp3");
  ASSERT_TRUE(WriteBytes(empty, {}));
  const QString directory = Path("folder.mp3");
  ASSERT_TRUE(QDir().mkdir(directory));
  const QString fifo = Path("fifo.mp3");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

  struct Case {
    QString path;
    quint16 status;
  };
  const Case cases[] = {{shortFile, Tid3tag::kNoTag},   {untagged, Tid3tag::kNoTag},
                        {empty, Tid3tag::kNoTag},       {Path("missing.mp3"), Tid3tag::kOpenFailed},
                        {directory, Tid3tag::kOpenFailed}, {fifo, Tid3tag::kOpenFailed},
                        {"", Tid3tag::kOpenFailed}};
  for (const Case& c : cases) {
    Tid3tag tag;
    tag.SetTitle("kept");
    tag.Genre = 3;
    EXPECT_EQ(tag.ReadTag(c.path), c.status) << c.path.toStdString();
    EXPECT_EQ(tag.Title, "kept");
    EXPECT_EQ(tag.Genre, 3);
    EXPECT_EQ(tag.WriteTag(c.path) == Tid3tag::kOpenFailed, c.status == Tid3tag::kOpenFailed);
  }
}

TEST_F(Id3TagTest, WriteBuildsBlockAndAppendsOrOverwrites) {
  const QString path = Path("short.mp3");
  ASSERT_TRUE(WriteBytes(path, QByteArray(127, 'a')));
  Tid3tag tag;
  tag.SetTitle(QString(40, 'T'));
  tag.SetArtist(QString::fromUtf8("Bj\u00f6rk \u266b"));
  tag.SetAlbum("Album");
  tag.SetYear("19999");
  tag.SetComment("Comment");
  tag.SetTrack(7);
  tag.Genre = 12;
  EXPECT_EQ(tag.Title.size(), 30);
  EXPECT_EQ(tag.Year, "1999");
  ASSERT_EQ(tag.WriteTag(path), Tid3tag::kOk);
  QByteArray bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 255);
  QByteArray comment = QByteArray("Comment").leftJustified(28, '\0') + QByteArray("\0\x07", 2);
  EXPECT_EQ(bytes.mid(127), Id3v1Block(QByteArray(30, 'T'), "Bj\xf6rk ?", "Album", "1999", comment, 12));

  tag.SetTrack(0);
  tag.SetComment(QString(30, 'c'));
  ASSERT_EQ(tag.WriteTag("="), Tid3tag::kOk) << "the remembered name";
  bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 255) << "the old block is overwritten in place";
  EXPECT_EQ(bytes.left(127), QByteArray(127, 'a'));
  EXPECT_EQ(bytes.mid(127 + 97, 30), QByteArray(30, 'c')) << "1.0 layout uses all 30 bytes";

  Tid3tag back;
  EXPECT_EQ(back.ReadTag(path), Tid3tag::kOk);
  EXPECT_EQ(back.Artist, QString::fromUtf8("Bj\u00f6rk ?"));
  EXPECT_FALSE(back.HasTrack);
  EXPECT_EQ(back.Comment, QString(30, 'c'));

  Tid3tag fresh;
  const QByteArray before = ReadBytes(path);
  EXPECT_EQ(fresh.WriteTag("="), Tid3tag::kOpenFailed) << "no remembered name yet";
  EXPECT_EQ(ReadBytes(path), before);
  ASSERT_EQ(fresh.WriteTag(path), Tid3tag::kOk);
  EXPECT_EQ(ReadBytes(path).mid(127), Id3v1Block("", "", "", "", "", 255)) << "a new object writes zeros";
}

TEST_F(Id3TagTest, ReadOnlyAndLockedFilesAreNotWritten) {
  const QByteArray content = QByteArray(500, 'm') + Id3v1Block("Old", "", "", "", "", 1);
  const QString readOnly = AudioWith(content, "ro.mp3");
  ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
  const QByteArray before = ReadBytes(readOnly);
  test::RunWherePermissionsBind([&] {
    Tid3tag tag;
    EXPECT_EQ(tag.ReadTag(readOnly), Tid3tag::kOk);
    EXPECT_TRUE(tag.ReadOnlyFile);
    tag.SetTitle("New");
    EXPECT_EQ(tag.WriteTag("="), Tid3tag::kReadOnly);
    tag.RemoveTag();
    EXPECT_EQ(tag.RemoveTagReporting(), Tid3tag::kReadOnly);
  });
  EXPECT_EQ(ReadBytes(readOnly), before);

  const QString locked = AudioWith(content, "locked.mp3");
  const int fd = ::open(QFile::encodeName(locked).constData(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  Tid3tag tag;
  tag.SetTitle("New");
  EXPECT_EQ(tag.WriteTag(locked), Tid3tag::kOpenFailed);
  Tid3tag reader;
  EXPECT_EQ(reader.ReadTag(locked), Tid3tag::kOk) << "reading shares the file";
  ::close(fd);
  EXPECT_EQ(tag.WriteTag(locked), Tid3tag::kOk);
}

TEST_F(Id3TagTest, RemoveCutsOnlyATagBlock) {
  const QByteArray audio(300, 'x');
  const QString tagged = AudioWith(Id3v1Block("T", "", "", "", "", 1), "tagged.mp3");
  Tid3tag tag;
  tag.RemoveTag();  // no remembered file: nothing happens
  ASSERT_EQ(tag.ReadTag(tagged), Tid3tag::kOk);
  EXPECT_EQ(tag.RemoveTagReporting(), Tid3tag::kOk);
  EXPECT_EQ(ReadBytes(tagged), QByteArray(1000, '\x55'));
  EXPECT_EQ(tag.RemoveTagReporting(), Tid3tag::kNoTag);
  EXPECT_EQ(ReadBytes(tagged).size(), 1000);
}

// Each object keeps its own buffers, so tags can be written on several threads at once.
TEST_F(Id3TagTest, ObjectsWorkOnSeveralThreads) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 50;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    const QString path = AudioWith({}, QString("t%1.mp3").arg(t));
    threads.emplace_back([path, t, &failures] {
      for (int round = 0; round < kRounds; ++round) {
        Tid3tag writer;
        writer.SetTitle(QString("thread %1 round %2").arg(t).arg(round));
        writer.SetTrack(static_cast<quint8>(round + 1));
        writer.Genre = static_cast<quint8>(t);
        Tid3tag reader;
        if (writer.WriteTag(path) != Tid3tag::kOk || reader.ReadTag(path) != Tid3tag::kOk ||
            reader.Title != writer.Title || reader.Track != round + 1 || reader.Genre != t)
          ++failures[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(failures[t], 0) << t;
    EXPECT_EQ(ReadBytes(Path(QString("t%1.mp3").arg(t))).size(), 1128);
  }
}

}  // namespace
}  // namespace trackmill
