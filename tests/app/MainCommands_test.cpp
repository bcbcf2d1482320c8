#include "app/shell/MainCommands.h"

#include <gtest/gtest.h>

namespace trackmill {
namespace {

TEST(MainCommandsTest, EnablingRules) {
  struct Case {
    MainCommand command;
    MainWindowState state;
    bool enabled;
  };
  const MainWindowState empty;
  const MainWindowState listedNoneChecked{3, 0, false, false, false};
  const MainWindowState checked{3, 1, false, false, false};
  const MainWindowState selected{3, 0, true, false, false};
  const MainWindowState playing{3, 3, true, true, false};
  const MainWindowState paused{3, 3, true, true, true};
  const Case cases[] = {
      {MainCommand::Extract, empty, false},
      {MainCommand::Extract, listedNoneChecked, false},
      {MainCommand::Extract, checked, true},
      {MainCommand::QueryCddb, empty, false},
      {MainCommand::QueryCddb, listedNoneChecked, true},
      {MainCommand::QueryMusicBrainz, empty, false},
      {MainCommand::QueryMusicBrainz, listedNoneChecked, true},
      {MainCommand::RenameTitle, checked, false},
      {MainCommand::RenameTitle, selected, true},
      {MainCommand::Play, checked, false},
      {MainCommand::Play, selected, true},
      {MainCommand::Pause, selected, false},
      {MainCommand::Pause, playing, true},
      {MainCommand::Pause, paused, false},
      {MainCommand::Stop, selected, false},
      {MainCommand::Stop, paused, true},
      {MainCommand::SelectAll, empty, true},
      {MainCommand::WavToMp3, empty, true},
      {MainCommand::Eject, empty, true},
      {MainCommand::Id3Edit, empty, true},
      {MainCommand::Options, empty, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsCommandEnabled(c.command, c.state), c.enabled) << static_cast<int>(c.command);
}

}  // namespace
}  // namespace trackmill
