#include "app/shell/StartUp.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

TEST(StartUpTest, WhichArgumentsOpenTheWindow) {
  struct Case {
    QStringList args;
    bool window;
    QString image;
    int drive;
    bool error;
  };
  const Case cases[] = {
      {{}, true, "", -1, false},
      {{"--disc-image", "a.cue"}, true, "a.cue", -1, false},
      {{"--drive", "2"}, true, "", 2, false},
      {{"--drive", "x"}, true, "", -1, true},
      {{"--disc-image"}, true, "", -1, true},
      {{"--disc-image", "a.cue", "--drive", "1"}, true, "a.cue", 1, true},
      {{"toc", "--disc-image", "a.cue"}, false, "", -1, false},
      {{"--disc-image", "a.cue", "rip"}, false, "", -1, false},
      {{"--help"}, false, "", -1, false},
  };
  for (const Case& c : cases) {
    const WindowStart start = ParseWindowArguments(c.args);
    const QString name = c.args.join(' ');
    EXPECT_EQ(start.openWindow, c.window) << name.toStdString();
    EXPECT_EQ(start.discImage, c.image) << name.toStdString();
    if (!c.error) {
      EXPECT_EQ(start.driveIndex, c.drive) << name.toStdString();
    }
    EXPECT_EQ(!start.error.isEmpty(), c.error) << name.toStdString();
  }
}

TEST(StartUpTest, DisplayCheck) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* platform;
    bool canShow;
  };
  const Case cases[] = {
      {"", "", "", false},          {":0", "", "", true},          {"", "wayland-0", "", true},
      {"", "", "offscreen", true},  {"", "", "minimal:x=1", true}, {"", "", "xcb", false},
      {":0", "", "xcb", true},      {"", ":0", "xcb", false},      {"", "", "wayland;offscreen", true},
      {"", "wayland-0", "wayland-egl", true},
  };
  for (const Case& c : cases) {
    QProcessEnvironment environment;
    if (*c.display) environment.insert("DISPLAY", c.display);
    if (*c.wayland) environment.insert("WAYLAND_DISPLAY", c.wayland);
    if (*c.platform) environment.insert("QT_QPA_PLATFORM", c.platform);
    EXPECT_EQ(NoDisplayMessage(environment).isEmpty(), c.canShow) << c.display << c.wayland << c.platform;
  }
}

TEST(StartUpTest, ProgramWithoutDisplayExplainsItselfInOneLine) {
  QProcess program;
  QProcessEnvironment environment;
  environment.insert("PATH", "/usr/bin:/bin");
  environment.insert("TRACKMILL_HOME", qEnvironmentVariable("TRACKMILL_HOME"));
  program.setProcessEnvironment(environment);
  program.start(test::TrackmillProgram(), {});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_NE(program.exitCode(), 0);
  const QString err = QString::fromUtf8(program.readAllStandardError());
  EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
  EXPECT_TRUE(err.contains("no display") && err.contains("trackmill --help")) << err.toStdString();
}

}  // namespace
}  // namespace trackmill
