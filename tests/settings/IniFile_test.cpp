#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

struct ReadCase {
  const char* name;
  QByteArray file;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: the default comes back
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsValueOrDefault) {
  const ReadCase& c = GetParam();
  const IniFile ini = IniFile::Parse(c.file);
  const QString got = ini.ReadString(c.section, c.key, QStringLiteral("<default>"));
  EXPECT_EQ(got, c.expected ? QString::fromUtf8(c.expected) : QStringLiteral("<default>"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IniReadTest,
    ::testing::Values(
        ReadCase{"plain", "[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"section_any_case", "[CommonOptions]\nk=v\n", "commonoptions", "k", "v"},
        ReadCase{"key_any_case", "[A]\nOutputFolder=v\n", "A", "OUTPUTFOLDER", "v"},
        ReadCase{"blanks_around", "  [ A ]  \n  k  =  v w  \n", "A", "k", "v w"},
        ReadCase{"quoted_value_keeps_blanks", "[A]\nk=\" v \"\n", "A", "k", " v "},
        ReadCase{"lone_quote_stays", "[A]\nk=\"\n", "A", "k", "\""},
        ReadCase{"empty_value", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"equals_in_value", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"first_duplicate_wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        ReadCase{"first_duplicate_section_wins", "[A]\nk=1\n[a]\nk=2\n", "A", "k", "1"},
        ReadCase{"crlf", "[A]\r\nk=v\r\nj=w\r\n", "A", "j", "w"},
        ReadCase{"cr_only", "[A]\rk=v\rj=w", "A", "j", "w"},
        ReadCase{"mixed_line_ends", "[A]\r\nk=v\nj=w\rm=x", "A", "m", "x"},
        ReadCase{"no_final_line_end", "[A]\nk=v", "A", "k", "v"},
        ReadCase{"byte_order_mark", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        ReadCase{"utf8", "[A]\nk=Ærø – 東京\n", "A", "k", "Ærø – 東京"},
        ReadCase{"nul_in_value_dropped", QByteArray("[A]\nk=a\0b\n", 9), "A", "k", "ab"},
        ReadCase{"header_without_bracket", "[A\nk=v\n", "A", "k", "v"},
        ReadCase{"text_after_header", "[A] trailing\nk=v\n", "A", "k", "v"},
        ReadCase{"missing_section", "[A]\nk=v\n", "B", "k", nullptr},
        ReadCase{"missing_key", "[A]\nk=v\n", "A", "x", nullptr},
        ReadCase{"key_in_other_section", "[A]\n[B]\nk=v\n", "A", "k", nullptr},
        ReadCase{"key_before_any_section", "k=v\n[A]\n", "A", "k", nullptr},
        ReadCase{"line_without_equals", "[A]\nk\n", "A", "k", nullptr},
        ReadCase{"empty_key", "[A]\n=v\n", "A", "", nullptr},
        ReadCase{"comment_line", "[A]\n;k=v\n", "A", "k", nullptr},
        ReadCase{"empty_file", "", "A", "k", nullptr},
        ReadCase{"invalid_utf8", "[A]\nk=\xff\xfe\n", "A", "k", "\xef\xbf\xbd\xef\xbf\xbd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFileTest, IntegersParseStrictlyElseDefault) {
  const IniFile ini = IniFile::Parse(
      "[N]\nplain=42\nneg=-5\nblanks= 7 \nword=abc\nmixed=12abc\nhuge=99999999999\n"
      "max=2147483647\nmin=-2147483648\nempty=\nplus=+3\n");
  EXPECT_EQ(ini.ReadInteger("N", "plain", -1), 42);
  EXPECT_EQ(ini.ReadInteger("N", "neg", -1), -5);
  EXPECT_EQ(ini.ReadInteger("N", "blanks", -1), 7);
  EXPECT_EQ(ini.ReadInteger("N", "word", 128), 128);
  EXPECT_EQ(ini.ReadInteger("N", "mixed", -1), -1);
  EXPECT_EQ(ini.ReadInteger("N", "huge", -1), -1);
  EXPECT_EQ(ini.ReadInteger("N", "max", -1), 2147483647);
  EXPECT_EQ(ini.ReadInteger("N", "min", -1), -2147483647 - 1);
  EXPECT_EQ(ini.ReadInteger("N", "empty", 9), 9);
  EXPECT_EQ(ini.ReadInteger("N", "plus", -1), 3);
  EXPECT_EQ(ini.ReadInteger("N", "absent", 11), 11);
}

TEST(IniFileTest, BooleansAreIntegersAndWrittenAsOneOrZero) {
  IniFile ini = IniFile::Parse("[B]\ntwo=2\nzero=0\nneg=-1\nword=yes\n");
  EXPECT_TRUE(ini.ReadBool("B", "two", false));
  EXPECT_FALSE(ini.ReadBool("B", "zero", true));
  EXPECT_TRUE(ini.ReadBool("B", "neg", false));
  EXPECT_TRUE(ini.ReadBool("B", "word", true));
  EXPECT_FALSE(ini.ReadBool("B", "word", false));
  ini.WriteBool("B", "two", ini.ReadBool("B", "two", false));
  ini.WriteBool("B", "zero", false);
  EXPECT_EQ(ini.Serialize(), "[B]\ntwo=1\nzero=0\nneg=-1\nword=yes\n");
}

TEST(IniFileTest, UpdateKeepsEverythingElseInPlace) {
  IniFile ini = IniFile::Parse(
      "; written by hand\n"
      "[First]\n"
      "Unknown=keep me\n"
      "Name=old\n"
      "garbage line\n"
      "\n"
      "[Second]\n"
      "x=1\n");
  ini.WriteString("first", "NAME", "new");       // in place, keeps the stored spelling
  ini.WriteString("First", "Added", "a");        // after the last key of its section
  ini.WriteInteger("Third", "n", -7);            // new section at the end
  ini.WriteString("Second", "y", "2");
  EXPECT_EQ(ini.Serialize(),
            "; written by hand\n"
            "[First]\n"
            "Unknown=keep me\n"
            "Name=new\n"
            "Added=a\n"
            "garbage line\n"
            "\n"
            "[Second]\n"
            "x=1\n"
            "y=2\n"
            "[Third]\n"
            "n=-7\n");
}

TEST(IniFileTest, UntouchedLinesKeepTheirBytes) {
  const QByteArray original("[A]\nraw=\xff\xfe odd\n\x01\x02 binary \x7f\n[B]\nk=v\n");
  IniFile ini = IniFile::Parse(original);
  ini.WriteString("B", "k", "w");
  QByteArray expected = original;
  expected.replace("k=v", "k=w");
  EXPECT_EQ(ini.Serialize(), expected);
}

TEST(IniFileTest, ByteOrderMarkStaysInFront) {
  IniFile ini = IniFile::Parse("\xEF\xBB\xBF[A]\nk=v\n");
  ini.WriteString("A", "k", "w");
  EXPECT_EQ(ini.Serialize(), "\xEF\xBB\xBF[A]\nk=w\n");
}

TEST(IniFileTest, AwkwardValuesSurviveWriteThenRead) {
  const QStringList values{
      "", " leading", "trailing ", "\"quoted\"", "\"", "a=b", "[NotASection]", "; not a comment",
      "Ærø – 東京", "\t tab", "\"\"", QString(QChar(0xFEFF)) + "starts with U+FEFF"};
  IniFile ini;
  for (int i = 0; i < values.size(); ++i) ini.WriteString("V", QString::number(i), values[i]);
  const IniFile reread = IniFile::Parse(ini.Serialize());
  for (int i = 0; i < values.size(); ++i) {
    EXPECT_EQ(reread.ReadString("V", QString::number(i), "<missing>"), values[i]) << i;
  }
}

TEST(IniFileTest, LineBreaksInValuesCannotInjectKeysOrSections) {
  IniFile ini;
  ini.WriteString("A", "title", "one\n[Evil]\r\nTrackNumber=5");
  ini.WriteString("A", "other\nkey", "x");
  const IniFile reread = IniFile::Parse(ini.Serialize());
  EXPECT_EQ(reread.SectionNames(), QStringList{"A"});
  EXPECT_EQ(reread.ReadString("A", "title", ""), "one [Evil]  TrackNumber=5");
  EXPECT_EQ(reread.KeyNames("A"), (QStringList{"title", "other key"}));
}

TEST(IniFileTest, GarbageAndOverlongLinesAreReadWithoutHarm) {
  QByteArray garbage;
  for (int i = 0; i < 200000; ++i) garbage += char((i * 7919) % 256);
  const QByteArray longValue(4 * 1024 * 1024, 'x');
  QByteArray file = garbage + "\n[A]\nlong=" + longValue + "\nk=v\n" + QByteArray(100000, '[') + "\n";
  IniFile ini = IniFile::Parse(file);
  EXPECT_EQ(ini.ReadString("A", "k", ""), "v");
  EXPECT_EQ(ini.ReadString("A", "long", "").size(), longValue.size());
  ini.WriteString("A", "k", "w");
  const IniFile reread = IniFile::Parse(ini.Serialize());
  EXPECT_EQ(reread.ReadString("A", "k", ""), "w");
}

TEST(IniFileTest, LoadTellsMissingFromUnreadable) {
  QTemporaryDir dir;
  EXPECT_EQ(IniFile::Load(dir.filePath("absent.ini")).LastLoadResult(), IniFile::LoadResult::Missing);
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
  EXPECT_EQ(IniFile::Load(dir.filePath("folder.ini")).LastLoadResult(), IniFile::LoadResult::Unreadable);
  ASSERT_TRUE(test::WriteBytes(dir.filePath("empty.ini"), ""));
  const IniFile empty = IniFile::Load(dir.filePath("empty.ini"));
  EXPECT_EQ(empty.LastLoadResult(), IniFile::LoadResult::Loaded);
  EXPECT_TRUE(empty.SectionNames().isEmpty());
}

TEST(IniFileTest, SaveReplacesWholeFileOrLeavesItAlone) {
  QTemporaryDir dir;
  const QString path = dir.filePath("options.ini");
  ASSERT_TRUE(test::WriteBytes(path, "[A]\nk=old\n"));
  IniFile ini = IniFile::Load(path);
  ini.WriteString("A", "k", "new");
  ASSERT_TRUE(ini.Save(path));
  EXPECT_EQ(test::ReadBytes(path), "[A]\nk=new\n");
  EXPECT_FALSE(ini.Save(dir.filePath("no/such/folder/options.ini")));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"options.ini"});  // no stray temporary file
}

}  // namespace
}  // namespace trackmill
