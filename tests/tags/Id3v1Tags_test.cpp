#include "tags/Id3v1Tags.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include "tests/tags/Id3TestFiles.h"

namespace trackmill {
namespace {

using test::Id3v1Block;

TEST(Id3v1Tags, ReadTrimsFieldsAndFindsTrack) {
  struct Case {
    const char* name;
    QByteArray comment30;
    QByteArray comment;
    int track;
  };
  const Case cases[] = {
      {"zero marker", QByteArray("  Note ").leftJustified(28, '\0') + QByteArray("\0\x05", 2), "Note", 5},
      // A blank before the last byte is part of a 30-byte comment, not a track marker.
      {"blank before last byte", "Sides one and two, tape copy B", "Sides one and two, tape copy B", 0},
      {"no track", QByteArray("A comment of thirty characters"), "A comment of thirty characters", 0},
  };
  for (const Case& c : cases) {
    QByteArray bytes = QByteArray(64, 'x') + Id3v1Block("\t Title \x01", "Artist", "Album", "1999", c.comment30, 200);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(10);
    TId3v1Tags tags;
    EXPECT_TRUE(tags.HasTagAt(&buffer));
    EXPECT_EQ(buffer.pos(), 10) << "HasTagAt keeps the position";
    ASSERT_TRUE(tags.ReadFromHandle(&buffer)) << c.name;
    EXPECT_EQ(tags.Title(), "Title");
    EXPECT_EQ(tags.Artist(), "Artist");
    EXPECT_EQ(tags.Year(), 1999);
    EXPECT_EQ(tags.Comment(), c.comment) << c.name;
    EXPECT_EQ(tags.Track(), c.track) << c.name;
    EXPECT_EQ(tags.AsInteger("genre"), 200);
    EXPECT_EQ(tags.GenreId(), 12);
  }
}

TEST(Id3v1Tags, NoTagNoFileShortData) {
  TId3v1Tags tags;
  EXPECT_FALSE(tags.ReadFromHandle(nullptr));
  EXPECT_FALSE(tags.HasTagAt(nullptr));
  EXPECT_FALSE(tags.WriteToHandle(nullptr, false));
  QBuffer closed;
  EXPECT_FALSE(tags.ReadFromHandle(&closed));

  for (QByteArray bytes : {QByteArray(), Id3v1Block("T", "", "", "", "", 1).left(127), QByteArray(300, 'T')}) {
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    tags.SetTitle("old");
    EXPECT_FALSE(tags.HasTagAt(&buffer));
    EXPECT_FALSE(tags.ReadFromHandle(&buffer));
    EXPECT_EQ(tags.Title(), "") << "cleared even when no block is found";
  }
}

TEST(Id3v1Tags, WriteAppendsBlock) {
  QByteArray bytes("audio");
  QBuffer buffer(&bytes);
  ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
  TId3v1Tags tags;
  tags.SetTitle(QString(35, 't'));
  tags.SetArtist(QString::fromUtf8("\u00c5se"));
  tags.SetYear(12345);
  tags.SetComment(QString(30, 'c'));
  tags.SetTrack(3);
  tags.SetGenreId(250);
  ASSERT_TRUE(tags.WriteToHandle(&buffer, true));
  EXPECT_EQ(bytes, "audio" + Id3v1Block(QByteArray(30, 't'), "\xc5se", "", "1234",
                                        QByteArray(28, 'c') + QByteArray("\0\x03", 2), 12));

  tags.Clear();
  ASSERT_TRUE(tags.WriteToHandle(&buffer, false));
  EXPECT_EQ(bytes.size(), 5 + 2 * 128) << "an existing block is not looked for";
  EXPECT_EQ(bytes.mid(5 + 128), Id3v1Block("", "", "", "0", "", 12));

  TId3v1Tags back;
  ASSERT_TRUE(back.ReadFromHandle(&buffer));
  EXPECT_EQ(back.Year(), 0);
  EXPECT_EQ(back.GenreId(), 12);
}

}  // namespace
}  // namespace trackmill
