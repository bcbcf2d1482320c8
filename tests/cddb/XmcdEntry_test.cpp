#include <gtest/gtest.h>

#include "cddb/CddbReply.h"
#include "cddb/XmcdEntry.h"

namespace trackmill {
namespace {

QStringList DefaultRows(int count) {
  QStringList rows;
  for (int i = 1; i <= count; ++i) rows << QStringLiteral("Track%1").arg(i, 2, 10, QLatin1Char('0'));
  return rows;
}

struct EntryCase {
  const char* name;
  const char* entry;
  int firstTrack;
  int lastTrack;
  bool titleLine;
  const char* artist;
  const char* album;
  const char* year;
  int genre;
  std::vector<const char*> rows;  // expected rows, in order
};

class XmcdEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(XmcdEntryTest, FillsDiscFieldsAndRows) {
  const EntryCase& c = GetParam();
  DiscInfo disc;
  disc.Artist = QStringLiteral("old artist");
  disc.Album = QStringLiteral("old album");
  QStringList rows = DefaultRows(c.lastTrack - c.firstTrack + 1);
  EXPECT_EQ(ApplyXmcdEntry(QString::fromUtf8(c.entry), c.firstTrack, c.lastTrack, disc, rows),
            c.titleLine);
  EXPECT_EQ(disc.Artist, QString::fromUtf8(c.artist));
  EXPECT_EQ(disc.Album, QString::fromUtf8(c.album));
  EXPECT_EQ(disc.Year, QString::fromUtf8(c.year));
  EXPECT_EQ(disc.Genre, c.genre);
  ASSERT_EQ(rows.size(), static_cast<qsizetype>(c.rows.size()));
  for (size_t i = 0; i < c.rows.size(); ++i) EXPECT_EQ(rows[i], QString::fromUtf8(c.rows[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, XmcdEntryTest,
    ::testing::Values(
        EntryCase{"ArtistSlashAlbum",
                  "# xmcd\nDISCID=12345678\nDTITLE=The Band / Greatest Hits\nDYEAR=1999\n"
                  "DGENRE=Blues\nTTITLE0=One\nTTITLE1=Two\nEXTD=\n",
                  1, 2, true, "The Band", "Greatest Hits", "1999", 18, {"One", "Two"}},
        EntryCase{"ArtistWithSlashIsCutAtTheSpacedSeparator",
                  "DTITLE=AC/DC / Back in Black / Live\nTTITLE0=Thunder\n", 1, 1, true, "AC/DC",
                  "Back in Black / Live", "", -1, {"Thunder"}},
        EntryCase{"UnspacedSlashIsCutAtTheFirst", "DTITLE=AC/DC/Live\n", 1, 1, false, "AC",
                  "DC/Live", "", -1, {"Track01"}},
        EntryCase{"GenreComparedWithCase", "DGENRE=blues\n", 1, 1, false, "old artist",
                  "old album", "", -1, {"Track01"}},
        EntryCase{"EmptyGenreIsNoGenre", "DGENRE=\n", 1, 1, false, "old artist", "old album", "",
                  -1, {"Track01"}},
        EntryCase{"SelfTitledAlbumWithoutSlash", "DTITLE=Weezer\n", 1, 1, false, "Weezer",
                  "Weezer", "", -1, {"Track01"}},
        EntryCase{"LaterDtitleReplaces", "DTITLE=A / B\nDTITLE=C / D\n", 1, 1, false, "C", "D", "",
                  -1, {"Track01"}},
        // Lines after the title run are taken in order whatever their keyword; an empty
        // value keeps the row's title; a line without "=" gives its whole text.
        EntryCase{"ExtendedLinesFillTheRemainingRows",
                  "DTITLE=X / Y\nTTITLE0=First\nTTITLE1=Second\nEXTD=Liner notes\nEXTT0=\n"
                  "PLAYORDER\n",
                  1, 6, true, "X", "Y", "", -1,
                  {"First", "Second", "Liner notes", "Track04", "PLAYORDER", "Track06"}},
        EntryCase{"EmptyTitleKeepsTheRow", "TTITLE0=\nTTITLE1=  Spaced  \n", 1, 2, true,
                  "old artist", "old album", "", -1, {"Track01", "Spaced"}},
        EntryCase{"LinesBeforeTheTitleLineAreNotTitles",
                  "TTITLE1=Not first\nTTITLE0=Zero\nTTITLE1=One\n", 1, 2, true, "old artist",
                  "old album", "", -1, {"Zero", "One"}},
        EntryCase{"LaterKeywordsAreNotRead", "TTITLE0=A\nDYEAR=2001\nDGENRE=Rock\n", 1, 1, true,
                  "old artist", "old album", "", -1, {"A"}},
        EntryCase{"FirstTrackTwoLooksForTitleOne", "TTITLE0=Zero\nTTITLE1=One\nTTITLE2=Two\n", 2,
                  3, true, "old artist", "old album", "", -1, {"One", "Two"}},
        EntryCase{"KeywordsInValuesAreIgnored", "TTITLE5=DYEAR=1234\nDYEAR\n", 1, 1, false,
                  "old artist", "old album", "", -1, {"Track01"}},
        EntryCase{"CrLfAndBlankLines", "DTITLE=A / B\r\n\r\n  DYEAR = 1970 \r\nTTITLE0=T\r\n", 1,
                  1, true, "A", "B", "1970", -1, {"T"}},
        EntryCase{"Utf8Titles", "DTITLE=Bj\xc3\xb6rk / D\xc3\xa9" "but\nTTITLE0=\xe6\x9d\xb1\n", 1, 1,
                  true, "Bj\xc3\xb6rk", "D\xc3\xa9" "but", "", -1, {"\xe6\x9d\xb1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmcdEntry, RowsBeyondTheCallersListAreNotWritten) {
  DiscInfo disc;
  QStringList rows{QStringLiteral("only row")};
  EXPECT_TRUE(ApplyXmcdEntry(QStringLiteral("TTITLE0=a\nTTITLE1=b\nTTITLE2=c"), 1, 3, disc, rows));
  EXPECT_EQ(rows, QStringList{QStringLiteral("a")});
}

struct ReplyCase {
  const char* name;
  const char* reply;
  int code;
  std::vector<std::array<const char*, 3>> matches;
};

class CddbQueryReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(CddbQueryReplyTest, Parses) {
  const ReplyCase& c = GetParam();
  const CddbQueryReply reply = ParseCddbQueryReply(QByteArray(c.reply));
  EXPECT_EQ(reply.code, c.code);
  ASSERT_EQ(reply.matches.size(), c.matches.size());
  for (size_t i = 0; i < c.matches.size(); ++i) {
    EXPECT_EQ(reply.matches[i].category, QString::fromUtf8(c.matches[i][0]));
    EXPECT_EQ(reply.matches[i].discId, QString::fromUtf8(c.matches[i][1]));
    EXPECT_EQ(reply.matches[i].title, QString::fromUtf8(c.matches[i][2]));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CddbQueryReplyTest,
    ::testing::Values(
        ReplyCase{"Exact", "200 rock 940a1b0c Band / Album\r\n", 200,
                  {{"rock", "940a1b0c", "Band / Album"}}},
        ReplyCase{"InexactList",
                  "211 Found inexact matches, list follows (until terminating `.')\r\n"
                  "rock 940a1b0c Band / One\r\nmisc 940a1b0d Band / Two\r\n.\r\nrock 1 ignored\r\n",
                  211, {{"rock", "940a1b0c", "Band / One"}, {"misc", "940a1b0d", "Band / Two"}}},
        ReplyCase{"ExactListWithLf", "210 Found exact matches\nfolk 0a0b0c0d X\n.\n", 210,
                  {{"folk", "0a0b0c0d", "X"}}},
        ReplyCase{"NoMatch", "202 No match found\r\n", 202, {}},
        ReplyCase{"Refused", "403 Database entry is corrupt\r\n", 403, {}},
        ReplyCase{"NotCddb", "<html>Not here</html>", 0, {}},
        ReplyCase{"ListCutOff", "211 list\r\nrock 11111111 A\r\nrock 22", 211,
                  {{"rock", "11111111", "A"}, {"rock", "22", ""}}},
        ReplyCase{"Empty", "", 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CddbQueryReply, KeepsAtMostTenMatches) {
  QByteArray reply = "211 many\r\n";
  for (int i = 0; i < 25; ++i) reply += "rock " + QByteArray::number(i) + " T\r\n";
  reply += ".\r\n";
  EXPECT_EQ(ParseCddbQueryReply(reply).matches.size(), 10u);
}

TEST(CddbReadReply, TakesTheLinesUpToTheDot) {
  const CddbReadReply reply =
      ParseCddbReadReply("210 rock 940a1b0c entry follows\r\n# xmcd\r\nDTITLE=A / B\r\n.\r\nX=1\r\n");
  EXPECT_EQ(reply.code, 210);
  EXPECT_EQ(reply.entry, QStringLiteral("# xmcd\nDTITLE=A / B"));
  EXPECT_EQ(ParseCddbReadReply("401 rock 940a1b0c No such CD entry\r\n").code, 401);
  EXPECT_TRUE(ParseCddbReadReply("401 x\r\nDTITLE=A\r\n").entry.isEmpty());
}

}  // namespace
}  // namespace trackmill
