#include "tags/Id3v2Tags.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "tags/Id3Layout.h"
#include "tests/tags/Id3TestFiles.h"

namespace trackmill {
namespace {

using test::Bytes;

QByteArray Frame34(const char* id, const QByteArray& data, int version) {
  QByteArray size(4, '\0');
  if (version == 4) {
    size = id3::v2::Synchsafe(quint32(data.size()));
  } else {
    for (int i = 0; i < 4; ++i) size[i] = char((data.size() >> (24 - 8 * i)) & 0xFF);
  }
  return QByteArray(id) + size + QByteArray(2, '\0') + data;
}

QByteArray Frame22(const char* id, const QByteArray& data) {
  QByteArray size(3, '\0');
  for (int i = 0; i < 3; ++i) size[i] = char((data.size() >> (16 - 8 * i)) & 0xFF);
  return QByteArray(id) + size + data;
}

QByteArray Tag(int version, const QByteArray& framesAndPadding, quint8 flags = 0) {
  QByteArray header("ID3");
  header += char(version);
  header += '\0';
  header += char(flags);
  return header + id3::v2::Synchsafe(quint32(framesAndPadding.size())) + framesAndPadding;
}

TEST(Id3v2Tags, ReadsEveryVersionAndEncoding) {
  const QByteArray utf16le = Bytes("\x01\xff\xfe" "\xc5\x00" "s\x00" "e\x00" "\x00\x00" "x\x00");
  const QByteArray utf16be = Bytes("\x01\xfe\xff" "\x00\xc5" "\x00s" "\x00" "e");
  struct Case {
    const char* name;
    QByteArray tag;
    bool newIds;
  };
  const Case cases[] = {
      {"2.4", Tag(4, Frame34("TIT2", Bytes("\x03" "\xc3\x85se"), 4) + Frame34("TPE1", utf16le, 4) +
                         Frame34("TALB", utf16be, 4) + Frame34("TRCK", Bytes("\x00" "7\0junk"), 4) +
                         Frame34("COMM", Bytes("\x00" "eng\0c"), 4) + Frame34("TXXX", Bytes("\x00x"), 4) +
                         Frame34("TCON", Bytes("\x02" "zz"), 4) + QByteArray(20, '\0')),
       true},
      {"2.3", Tag(3, Frame34("TIT2", Bytes("\x03" "\xc3\x85se"), 3) + Frame34("TPE1", utf16le, 3) +
                         Frame34("TALB", utf16be, 3) + Frame34("TRCK", Bytes("\x00" "7"), 3) +
                         Frame34("TYER", QByteArray(), 3)),
       true},
      {"2.2", Tag(2, Frame22("TT2", Bytes("\x03" "\xc3\x85se")) + Frame22("TP1", utf16le) + Frame22("TAL", utf16be) +
                         Frame22("TRK", Bytes("\x00" "7")) + QByteArray(3, '\0')),
       false},
  };
  for (const Case& c : cases) {
    QByteArray bytes = c.tag + "AUDIO";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    TId3v2Tags tags;
    EXPECT_TRUE(tags.HasTagAt(&buffer));
    EXPECT_EQ(buffer.pos(), 0);
    EXPECT_TRUE(tags.ReadFromHandle(&buffer)) << c.name;
    EXPECT_EQ(buffer.pos(), c.tag.size()) << c.name;
    EXPECT_EQ(tags.NewIds(), c.newIds);
    const QString ase = QString::fromUtf8("\u00c5se");
    EXPECT_EQ(tags.Title(), ase) << c.name;
    EXPECT_EQ(tags.Artist(), ase) << c.name;
    EXPECT_EQ(tags.Album(), ase) << c.name << ": a big-endian byte-order mark is honoured";
    EXPECT_EQ(tags.Track(), "7") << c.name;
    EXPECT_EQ(tags.Comment(), "") << "comment frames are passed over";
    EXPECT_EQ(tags.Genre(), "") << "unknown encodings leave the frame unread";
  }
}

TEST(Id3v2Tags, RejectsBadHeadersAndSurvivesTruncation) {
  const QByteArray frames = Frame34("TIT2", Bytes("\x00Title"), 4) + Frame34("TPE1", Bytes("\x00" "Artist"), 4);
  struct Case {
    const char* name;
    QByteArray bytes;
    bool result;
    qint64 endPosition;
  };
  QByteArray badSize = Tag(4, frames);
  badSize[8] = char(0x80);
  QByteArray footer = Tag(4, frames, 0x10);
  const QByteArray whole = Tag(4, frames);
  const Case cases[] = {
      {"empty", {}, false, 0},
      {"short header", "ID3\x04", false, 4},
      {"not ID3", Bytes("ID4\x04\0\0\0\0\0\0"), false, 10},
      {"version 5", Tag(5, frames), false, 10},
      {"revision 0xFF", QByteArray("ID3\x04\xff\0\0\0\0\0", 10), false, 10},
      {"undefined 2.4 flag", Tag(4, frames, 0x01), false, 10},
      {"undefined 2.3 flag", Tag(3, frames, 0x10), false, 10},
      {"size byte with top bit", badSize, false, 10},
      {"footer past the end", footer, false, footer.size()},
      {"frames cut", whole.left(whole.size() - 3), false, whole.size() - 3},
      {"frame data past tag end", Tag(4, frames.left(frames.size() - 2)), false, frames.size() + 8},
      {"frame size huge", Tag(3, QByteArray("TIT2\x7f\xff\xff\xff\0\0", 10) + QByteArray(8, 'x')), false, 28},
  };
  for (const Case& c : cases) {
    QByteArray bytes = c.bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
    TId3v2Tags tags;
    EXPECT_EQ(tags.ReadFromHandle(&buffer), c.result) << c.name;
    EXPECT_EQ(buffer.pos(), c.endPosition) << c.name;
    EXPECT_EQ(bytes.size(), c.bytes.size()) << c.name << ": reading never grows the device";
  }
}

TEST(Id3v2Tags, WritePadsToSixteenAndPassesOverEmptyValues) {
  struct Case {
    const char* name;
    QString title;
    int padding;
  };
  // A frame costs 10 header bytes + 1 encoding byte + the text.
  const Case cases[] = {{"20 bytes of frames", QString(9, 't'), 2},
                        {"already aligned", QString(11, 't'), 16},
                        {"no frames", QString(), 6}};
  for (const Case& c : cases) {
    TId3v2Tags tags;
    tags.SetTitle(c.title);
    const QByteArray tag = tags.RenderTag(true);
    const int framesLength = c.title.isEmpty() ? 0 : 11 + int(c.title.size());
    EXPECT_EQ(tag.size(), 10 + framesLength + c.padding) << c.name;
    EXPECT_EQ(tag.size() % 16, 0) << c.name;
    EXPECT_EQ(tag.right(c.padding), QByteArray(c.padding, '\0')) << c.name;
    EXPECT_EQ(tag.left(6), QByteArray("ID3\x04\0\0", 6));
  }

  TId3v2Tags tags;
  tags.SetAlbum("Album");
  tags.SetArtist("");           // empty: passed over, later frames still written
  tags.SetComment("comment");  // never written
  tags.SetNewIds(false);
  tags.SetTitle("old ids are not written");
  tags.SetNewIds(true);
  tags.SetYear("2001");
  tags.SetLink("http://x");
  tags.SetGenre(QString::fromUtf8("\u266b"));
  const QByteArray expectedFrames =
      Frame34("TALB", Bytes("\x03" "Album"), 4) + Frame34("TCON", Bytes("\x03\xe2\x99\xab"), 4) +
      Frame34("TYER", Bytes("\x00" "2001"), 4) + Frame34("WXXX", Bytes("\x03" "http://x"), 4);
  const QByteArray unicode = tags.RenderTag(true);
  EXPECT_EQ(unicode.mid(10), expectedFrames + QByteArray(16 - (10 + expectedFrames.size()) % 16, '\0'));
  const QByteArray latin1 = tags.RenderTag(false);
  EXPECT_NE(latin1.indexOf(Frame34("TCON", Bytes("\x00?"), 4)), -1);
}

TEST(Id3v2Tags, WriteThenReadBack) {
  QByteArray bytes("AUDIO DATA");
  QBuffer buffer(&bytes);
  ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
  buffer.seek(3);
  TId3v2Tags tags;
  tags.SetTitle(QString::fromUtf8("\u65e5\u672c"));
  tags.SetArtist("Artist");
  tags.SetTrack("5");
  tags.SetEncoder("Trackmill");
  tags.SetLink(QString(QChar(0xFEFF)) + "x");  // a leading U+FEFF is text, not a byte-order mark
  ASSERT_TRUE(tags.WriteToHandle(&buffer, true));
  EXPECT_EQ(buffer.pos(), 3) << "the position is kept";
  EXPECT_TRUE(bytes.endsWith("AUDIO DATA"));

  buffer.seek(0);
  TId3v2Tags back;
  ASSERT_TRUE(back.ReadFromHandle(&buffer));
  EXPECT_EQ(bytes.mid(buffer.pos()), "AUDIO DATA");
  EXPECT_EQ(back.Title(), QString::fromUtf8("\u65e5\u672c"));
  EXPECT_EQ(back.Artist(), "Artist");
  EXPECT_EQ(back.Track(), "5");
  EXPECT_EQ(back.Encoder(), "Trackmill");
  EXPECT_EQ(back.Link(), QString(QChar(0xFEFF)) + "x");
}

TEST(Id3v2Tags, FileIsReplacedNotRewrittenInPlace) {
  QTemporaryDir dir;
  const QString path = dir.filePath("song.mp3");
  const QByteArray audio(200000, 'a');
  ASSERT_TRUE(test::WriteBytes(path, audio));
  const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                         QFile::WriteUser | QFile::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(path, permissions));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.seek(100);
  TId3v2Tags tags;
  tags.SetTitle("Title");
  ASSERT_TRUE(tags.WriteToHandle(&file, true));
  EXPECT_TRUE(file.isOpen());
  EXPECT_EQ(file.pos(), 100);
  EXPECT_EQ(file.size(), 32 + audio.size()) << "the handle sees the new file";
  const QByteArray written = test::ReadBytes(path);
  EXPECT_EQ(written.left(32), tags.RenderTag(true));
  EXPECT_EQ(written.mid(32), audio);
  EXPECT_EQ(QFile::permissions(path), permissions);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";

  QFile readOnly(path);
  ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
  EXPECT_FALSE(tags.WriteToHandle(&readOnly, true));
  EXPECT_EQ(test::ReadBytes(path), written);
}

}  // namespace
}  // namespace trackmill
