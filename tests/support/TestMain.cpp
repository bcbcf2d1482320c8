#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef TRACKMILL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Every test binary gets its own per-user data folder so no test touches the user's files.
  QTemporaryDir home;
  qputenv("TRACKMILL_HOME", home.path().toUtf8());
#ifdef TRACKMILL_TEST_WIDGETS
  // Test discovery runs the binary without CTest's environment: never look for a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Windows under test never reach the desktop's services (the notification at a rip's end).
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
#endif
  TestApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
