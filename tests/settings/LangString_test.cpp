#include "settings/LangString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <thread>
#include <vector>

#include "common/DataFolder.h"
#include "common/FileUtils.h"
#include "settings/EnglishStrings.h"
#include "settings/IniFile.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageMenu.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

void WriteLanguageFile(const QString& language, const QByteArray& text) {
  QFile file(DataFile(LanguageFileName(language)));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

class LangStringTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* language : {"german", "Captions", "", "Other"}) QFile::remove(DataFile(LanguageFileName(language)));
    Settings().Lan = "English";
  }
};

TEST_F(LangStringTest, EnglishInAnyCaseGivesTheBuiltInText) {
  WriteLanguageFile("English", "[ResourceString]\nRES_Play=never read\n");
  for (const char* language : {"English", "english", "ENGLISH"}) {
    Settings().Lan = language;
    EXPECT_EQ(LangString("RES_Play"), "Play ") << language;
    EXPECT_EQ(LangString("RES_Play", "ignored: the table has the key"), "Play ") << language;
    EXPECT_EQ(LangString("RES_NotYetInTheTable", "stand-in"), "stand-in") << language;
  }
  QFile::remove(DataFile(LanguageFileName("English")));
}

TEST_F(LangStringTest, OtherLanguagesReadTheirFileOrGiveEmptyText) {
  WriteLanguageFile("german", "[resourcestring]\nRES_Play=\"Abspielen \"\nRES_Decoding=Dekodieren\n");
  Settings().Lan = "german";
  EXPECT_EQ(LangString("RES_Play"), "Abspielen ");
  EXPECT_EQ(LangString("res_decoding"), "Dekodieren");
  EXPECT_EQ(LangString("RES_Encoding"), "");  // key missing
  EXPECT_EQ(LangStringOrEnglish("RES_Encoding"), "Encoding");  // a key newer than the file
  EXPECT_EQ(LangStringOrEnglish("RES_Play"), "Abspielen ");

  WriteLanguageFile("Captions", "[MainForm]\nMainForm=Titel\n");  // no ResourceString section
  Settings().Lan = "Captions";
  EXPECT_EQ(LangString("RES_Play"), "");

  Settings().Lan = "Missing";
  EXPECT_EQ(LangString("RES_Play"), "");

  WriteLanguageFile("", "[ResourceString]\nRES_Play=from CLan_.ini\n");
  Settings().Lan = "";
  EXPECT_EQ(LangString("RES_Play"), "from CLan_.ini");

  Settings().Lan = "../CLan_german";  // a name that would leave the data folders
  EXPECT_EQ(LangString("RES_Play"), "");
}

TEST_F(LangStringTest, ChangedLanguageFileIsReadAgain) {
  Settings().Lan = "Other";
  WriteLanguageFile("Other", "[ResourceString]\nRES_Play=first\n");
  EXPECT_EQ(LangString("RES_Play"), "first");
  WriteLanguageFile("Other", "[ResourceString]\nRES_Play=second version\n");
  EXPECT_EQ(LangString("RES_Play"), "second version");
  QFile::remove(DataFile(LanguageFileName("Other")));
  EXPECT_EQ(LangString("RES_Play"), "");
}

TEST_F(LangStringTest, WorkersReadMessagesWhileTheFileChanges) {
  Settings().Lan = "german";
  WriteLanguageFile("german", "[ResourceString]\nRES_Encoding=Kodieren\n");
  std::vector<std::thread> workers;
  std::atomic<int> wrongTexts = 0;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&wrongTexts] {
      for (int i = 0; i < 200; ++i) {
        const QString text = LangString("RES_Encoding");
        if (text != "Kodieren" && text != "Kodierung") ++wrongTexts;
      }
    });
  }
  // Replaced in one step, as editors and installers do: a half-written file would read empty.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(WriteFileAtomically(DataFile(LanguageFileName("german")),
                                    i % 2 ? "[ResourceString]\nRES_Encoding=Kodierung\n"
                                          : "[ResourceString]\nRES_Encoding=Kodieren\n"));
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(wrongTexts, 0);
}

TEST_F(LangStringTest, LanguageMenuNamesLanguagesAndTheirFiles) {
  QStringList languages;
  int separators = 0;
  for (const LanguageMenuItem& item : LanguageMenuItems()) {
    if (!item.objectName) {
      ++separators;
      continue;
    }
    languages << LanguageOfMenuItem(item.objectName);
  }
  EXPECT_EQ(separators, 1);
  EXPECT_EQ(languages.size(), 21);
  EXPECT_EQ(languages.front(), "Arabic");
  EXPECT_EQ(languages.back(), "Other");
  EXPECT_TRUE(languages.contains("Netherlands"));
  EXPECT_EQ(LanguageFilePath("Other"), DataFile("CLan_Other.ini"));  // missing: where it belongs
  WriteLanguageFile("Other", "");
  EXPECT_EQ(FindLanguageFile("Other"), DataFile("CLan_Other.ini"));
  // English is shipped, so the switch back to English always finds its file.
  EXPECT_TRUE(FindLanguageFile("English").endsWith("/CLan_English.ini"));
}

// Every "RES_..." literal in the program's sources (all top-level folders but the tests and
// build trees): a key the table lacks would show empty in every other language.
QStringList KeysUsedBySources() {
  QStringList keys;
  const QRegularExpression literal(QStringLiteral(R"re("(RES_\w+)")re"));
  const QDir root(QStringLiteral(TRACKMILL_SOURCE_DIR));
  for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (folder == u"tests" || QFileInfo::exists(root.filePath(folder + "/CMakeCache.txt"))) continue;
    QDirIterator files(root.filePath(folder), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString source = QString::fromUtf8(test::ReadBytes(files.next()));
      for (const QRegularExpressionMatch& match : literal.globalMatch(source)) keys << match.captured(1);
    }
  }
  keys.removeDuplicates();
  return keys;
}

TEST(EnglishStringsTest, TableIsSortedAndHoldsEveryKeyTheCodeUses) {
  const QStringList keys = EnglishKeys();
  for (int i = 1; i < keys.size(); ++i) {
    EXPECT_LT(keys[i - 1].toLatin1(), keys[i].toLatin1()) << "table must stay sorted for the lookup";
  }
  const QStringList used = KeysUsedBySources();
  EXPECT_GT(used.size(), 40);  // the scan found the sources
  for (const QString& key : used) EXPECT_FALSE(EnglishText(key).isEmpty()) << key.toStdString() << " is not in the table";
  EXPECT_EQ(EnglishText("RES_Nonexistent"), "");
  EXPECT_EQ(EnglishText("res_play"), "");
}

TEST(EnglishLanguageFileTest, ShippedFileIsTheGeneratedOneAndHoldsEveryText) {
  const QByteArray committed = test::ReadBytes(QStringLiteral(TRACKMILL_SOURCE_DIR) + "/data/CLan_English.ini");
  ASSERT_FALSE(committed.isEmpty());
  EXPECT_EQ(test::ReadBytes(test::BinaryDir() + "/data/CLan_English.ini"), committed)
      << "data/CLan_English.ini is out of date: copy the build's data/CLan_English.ini over it";
  const IniFile file = IniFile::Parse(committed);
  for (const QString& key : EnglishKeys()) {
    QString english = EnglishText(key);
    english.replace(u'\n', u' ');  // one line per key in the file
    EXPECT_EQ(file.ReadString("ResourceString", key, "<missing>"), english) << key.toStdString();
  }
}

// Every shipped translation holds every key of the English file, keeps its placeholders and
// the blanks by which a text joins a file name or a title.
TEST(ShippedTranslationsTest, HoldEveryEnglishKeyWithItsPlaceholdersAndJoiningBlanks) {
  const QString data = QStringLiteral(TRACKMILL_SOURCE_DIR) + "/data/";
  const IniFile english = IniFile::Load(data + "CLan_English.ini");
  for (const char* language : {"German", "French"}) {
    const IniFile translation = IniFile::Load(data + LanguageFileName(language));
    ASSERT_EQ(translation.LastLoadResult(), IniFile::LoadResult::Loaded) << language;
    for (const QString& section : english.SectionNames()) {
      for (const QString& key : english.KeyNames(section)) {
        const std::string where = std::string(language) + " [" + section.toStdString() + "] " + key.toStdString();
        const QString text = english.ReadString(section, key, {});
        const QString translated = translation.ReadString(section, key, "<missing>");
        EXPECT_NE(translated, "<missing>") << where;
        EXPECT_EQ(translated.isEmpty(), text.isEmpty()) << where;
        EXPECT_EQ(translated.contains("%1"), text.contains("%1")) << where;
        if (text.startsWith(' ')) EXPECT_TRUE(translated.startsWith(' ')) << where;
        if (text.endsWith(' ')) EXPECT_TRUE(translated.endsWith(' ')) << where;
      }
    }
  }
}

}  // namespace
}  // namespace trackmill
