#include "app/shell/CloseSequence.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "settings/DiscInfoStore.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

TEST(CloseSequenceTest, SavesTitlesAndSettingsAndReportsEachFailure) {
  QFile::remove(SettingsFilePath());
  QFile::remove(DiscInfoFilePath());
  LoadSettings();
  Settings().OutputFormat = 7;  // a format this build does not know stays as stored
  TrackList list;
  list.DiscIdentifier = "123";
  list.Rows.resize(2);
  list.Rows[0].Title = "First";
  list.Rows[1].Title = "Second";
  EXPECT_TRUE(SaveOnClose(list).isEmpty());
  const IniFile titles = IniFile::Load(DiscInfoFilePath());
  EXPECT_EQ(titles.ReadString("123", "2", ""), "Second");
  EXPECT_EQ(titles.ReadInteger("123", "TrackNumber", 0), 2);
  EXPECT_EQ(IniFile::Load(SettingsFilePath()).ReadInteger("CommonOptions", "OutputFormat", 0), 7);

  // Folders in the way of both files: neither can be written, and the user is told of both.
  QFile::remove(SettingsFilePath());
  QFile::remove(DiscInfoFilePath());
  ASSERT_TRUE(QDir().mkpath(SettingsFilePath() + "/x") && QDir().mkpath(DiscInfoFilePath() + "/x"));
  EXPECT_EQ(SaveOnClose(list), QStringList({"The titles of this disc could not be saved in " + DiscInfoFilePath() + ".",
                                            "The settings could not be saved to " + SettingsFilePath() + "."}));
  QDir(SettingsFilePath()).removeRecursively();
  QDir(DiscInfoFilePath()).removeRecursively();
}

}  // namespace
}  // namespace trackmill
