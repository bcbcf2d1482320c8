#include <gtest/gtest.h>

#include "tags/CommonTags.h"
#include "tags/VorbisComments.h"
#include "tags/VorbisTags.h"

namespace trackmill {
namespace {

TEST(TagContainers, KeySetsAreFixedAndSorted) {
  TCommonTags common;
  TVorbisTags vorbis;
  EXPECT_EQ(common.GetValue("Title").kind(), TagValue::Kind::AnsiString);
  const std::pair<TAuTags*, int> expected[] = {{&common, 6}, {&vorbis, 12}};
  for (auto [tags, count] : expected) {
    EXPECT_EQ(tags->Count(), count);
    for (int i = 1; i < tags->Count(); ++i)
      EXPECT_LT(QString::compare(tags->KeyAt(i - 1), tags->KeyAt(i), Qt::CaseInsensitive), 0);
    EXPECT_EQ(tags->KeyAt(-1), "");
    EXPECT_EQ(tags->KeyAt(tags->Count()), "");
    EXPECT_TRUE(tags->IsEmpty());
    EXPECT_FALSE(tags->IsChanged());
    tags->Clear();
    EXPECT_EQ(tags->Count(), count) << "Clear keeps the keys";
    EXPECT_FALSE(tags->AddKey("", TagValue()));
    EXPECT_TRUE(tags->AddKey(tags->KeyAt(0).toUpper(), TagValue()));
    EXPECT_EQ(tags->Count(), count) << "keys differing in case are the same key";
  }
  EXPECT_EQ(vorbis.KeyAt(0), "album");
  EXPECT_EQ(vorbis.KeyAt(11), "tracknumber");
}

TEST(TagContainers, SetValueOnlyChangesKnownKeysAndRealChanges) {
  TVorbisTags tags;
  tags.SetValue("titel", TagValue::Wide("x"));
  EXPECT_TRUE(tags.IsEmpty());
  EXPECT_FALSE(tags.IsChanged());
  EXPECT_TRUE(tags.GetValue("titel").isUnassigned());

  tags.SetValue("TITLE", TagValue::Wide("Song"));
  EXPECT_FALSE(tags.IsEmpty());
  EXPECT_TRUE(tags.IsChanged());
  EXPECT_EQ(tags.Title(), "Song");

  TCommonTags common;
  common.SetValue("Title", TagValue::Ansi(QByteArray()));  // already an empty 8-bit string
  EXPECT_TRUE(common.IsEmpty());
  EXPECT_FALSE(common.IsChanged());
  common.SetTitle("Song");
  common.Clear();
  EXPECT_TRUE(common.IsEmpty());
  EXPECT_TRUE(common.IsChanged());
  EXPECT_TRUE(common.GetValue("Title").isUnassigned());
}

TEST(TagContainers, ValueConversions) {
  struct Case {
    TagValue value;
    qint32 integer;
    QByteArray ansi;
    QString wide;
  };
  const Case cases[] = {
      {TagValue(), 0, "", ""},
      {TagValue::Integer(1999), 1999, "1999", "1999"},
      {TagValue::Integer(-7), -7, "-7", "-7"},
      {TagValue::Ansi(QByteArray("42")), 42, "42", "42"},
      {TagValue::Wide(" 42 "), 42, " 42 ", " 42 "},
      {TagValue::Wide("42abc"), 0, "42abc", "42abc"},
      {TagValue::Ansi(QByteArray("99999999999")), 0, "99999999999", "99999999999"},
      {TagValue::Wide(QString::fromUtf8("Caf\u00e9 \u266b")), 0, "Caf\xe9 ?", QString::fromUtf8("Caf\u00e9 \u266b")},
      {TagValue::Ansi(QByteArray("\xe9t\xe9")), 0, "\xe9t\xe9", QString::fromUtf8("\u00e9t\u00e9")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.toInteger(), c.integer) << c.wide.toStdString();
    EXPECT_EQ(c.value.toAnsi(), c.ansi) << c.wide.toStdString();
    EXPECT_EQ(c.value.toWide(), c.wide);
  }
  EXPECT_EQ(TagValue::Ansi(QString::fromUtf8("\U0001F3B5")).toAnsi(), "?") << "one ? per character";
  EXPECT_EQ(TagValue::Ansi(QByteArray("abc")), TagValue::Wide("abc"));
  EXPECT_FALSE(TagValue::Integer(12) == TagValue::Wide("12"));
  EXPECT_FALSE(TagValue() == TagValue::Ansi(QByteArray()));
}

TEST(TagContainers, AssignmentCarriesSharedKeyNamesOnly) {
  TVorbisTags vorbis;
  vorbis.SetAlbum("Album");
  vorbis.SetArtist("Artist");
  vorbis.SetGenre("Genre");
  vorbis.SetTitle("Title");
  vorbis.SetDate("1999");
  vorbis.SetTrack("4");
  TCommonTags common;
  common.SetYear("2020");
  common.AssignFrom(vorbis);
  EXPECT_EQ(common.Album(), "Album");
  EXPECT_EQ(common.Artist(), "Artist");
  EXPECT_EQ(common.Genre(), "Genre");
  EXPECT_EQ(common.Title(), "Title");
  EXPECT_EQ(common.Year(), "") << "cleared first; date and tracknumber have no counterpart";
  EXPECT_EQ(common.Track(), "");

  TVorbisTags back;
  back.SetDisc("2");
  common.AssignTo(back);
  EXPECT_EQ(back.Title(), "Title");
  EXPECT_EQ(back.Disc(), "");
}

TEST(VorbisComments, ReadMapsKnownNamesAndCopiesToCommon) {
  TVorbisTags vorbis;
  vorbis.SetDisc("9");
  ReadVorbisComments({"TITLE=Caf\xc3\xa9=Bar", "Artist=A", "date=2004", "TrackNumber=7",
                      "GENRE=Jazz", "ALBUM=", "DISCNUMBER=1", "COMMENT=c", "no separator"},
                     vorbis);
  EXPECT_EQ(vorbis.Title(), QString::fromUtf8("Caf\u00e9=Bar"));
  EXPECT_EQ(vorbis.Artist(), "A");
  EXPECT_EQ(vorbis.Date(), "2004");
  EXPECT_EQ(vorbis.Track(), "7");
  EXPECT_EQ(vorbis.Disc(), "") << "cleared, and discnumber is not read";

  TCommonTags common;
  CopyVorbisToCommon(vorbis, common);
  EXPECT_EQ(common.Title(), QString::fromUtf8("Caf\u00e9=Bar"));
  EXPECT_EQ(common.Year(), "2004");
  EXPECT_EQ(common.Track(), "7");
  EXPECT_EQ(common.Genre(), "Jazz");
}

TEST(VorbisComments, WriteSkipsEmptyValuesInKeyOrder) {
  TVorbisTags tags;
  tags.SetTitle(QString::fromUtf8("\u00c5sa"));
  tags.SetAlbum("Album");
  tags.SetArtist("");
  tags.SetTrackGain("-3.1 dB");
  const auto comments = VorbisCommentsToWrite(tags);
  ASSERT_EQ(comments.size(), 3);
  EXPECT_EQ(comments[0].first, "album");
  EXPECT_EQ(comments[1].first, "replaygain_track_gain");
  EXPECT_EQ(comments[2].first, "title");
  EXPECT_EQ(comments[2].second, "\xc3\x85sa");
}

}  // namespace
}  // namespace trackmill
