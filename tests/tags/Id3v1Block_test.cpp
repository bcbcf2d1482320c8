#include "tags/Id3v1Block.h"

#include <gtest/gtest.h>

#include "tests/tags/Id3TestFiles.h"

namespace trackmill::id3::v1 {
namespace {

using test::Bytes;
using test::Id3v1Block;

TEST(Id3v1BlockTest, ParsesBothLayoutsAndOnlyBlocks) {
  struct Case {
    const char* name;
    QByteArray block;
    std::optional<BlockFields> fields;
  };
  const QByteArray title = Bytes("Title  \0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0");
  const QByteArray v11Comment = Bytes("Fine comment\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0");
  const Case cases[] = {
      {"1.1 layout", Id3v1Block(title, "A", "B", "1999", v11Comment + Bytes("\0\x07"), 17),
       BlockFields{title, Bytes("A").leftJustified(30, '\0'), Bytes("B").leftJustified(30, '\0'), "1999",
                   v11Comment, 7, 17}},
      {"blank before the last comment byte is text",
       Id3v1Block("", "", "", "", "Sides one and two, tape copy B", 255),
       BlockFields{QByteArray(30, '\0'), QByteArray(30, '\0'), QByteArray(30, '\0'), QByteArray(4, '\0'),
                   "Sides one and two, tape copy B", 0, 255}},
      {"zero track byte is 1.0", Id3v1Block("", "", "", "", Bytes("Short\0\0"), 0),
       BlockFields{QByteArray(30, '\0'), QByteArray(30, '\0'), QByteArray(30, '\0'), QByteArray(4, '\0'),
                   Bytes("Short").leftJustified(30, '\0'), 0, 0}},
      {"wrong magic", "TAB" + Id3v1Block("", "", "", "", "", 1).mid(3), std::nullopt},
      {"127 bytes", Id3v1Block("", "", "", "", "", 1).left(127), std::nullopt},
      {"129 bytes", Id3v1Block("", "", "", "", "", 1) + 'x', std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBlock(c.block), c.fields) << c.name;
}

TEST(Id3v1BlockTest, RendersCutAndPaddedFields) {
  struct Case {
    const char* name;
    BlockFields fields;
    QByteArray block;
  };
  const Case cases[] = {
      {"1.1 layout cuts the comment to 28 bytes",
       {QByteArray(35, 't'), "\xc5se", "", "12345", QByteArray(30, 'c'), 3, 250},
       Id3v1Block(QByteArray(30, 't'), "\xc5se", "", "1234", QByteArray(28, 'c') + Bytes("\0\x03"), 250)},
      {"1.0 layout keeps 30 comment bytes", {"T", "", "", "", QByteArray(31, 'c'), 0, 255},
       Id3v1Block("T", "", "", "", QByteArray(30, 'c'), 255)},
      {"empty fields are zeros", {}, Id3v1Block("", "", "", "", "", 255)},
  };
  for (const Case& c : cases) EXPECT_EQ(RenderBlock(c.fields), c.block) << c.name;
}

}  // namespace
}  // namespace trackmill::id3::v1
