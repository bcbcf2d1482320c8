#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

#include "app/cli/CommandLine.h"
#include "app/shell/StartUp.h"
#include "common/AppInfo.h"
#include "common/UncaughtFailure.h"
#include "ui/MainForm.h"

namespace {

int RunMainWindow(int argc, char** argv, const trackmill::WindowStart& start) {
  if (!start.error.isEmpty()) {
    std::fprintf(stderr, "trackmill: %s\n", qPrintable(start.error));
    return 2;
  }
  // Checked before QApplication exists: without a display Qt would abort with its own text.
  if (const QString reason = trackmill::NoDisplayMessage(); !reason.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(trackmill::kAppTitle);
  QApplication::setApplicationVersion(trackmill::kAppVersion);
  trackmill::TMainForm mainForm(start.discImage, start.driveIndex);
  mainForm.show();
  return QApplication::exec();
}

// The window or the command line; exceptions are left to main.
int RunProgram(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const trackmill::WindowStart start = trackmill::ParseWindowArguments(arguments);
  if (start.openWindow) return RunMainWindow(argc, argv, start);

  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(trackmill::kAppTitle);
  QCoreApplication::setApplicationVersion(trackmill::kAppVersion);
  return trackmill::cli::RunCommandLine(QCoreApplication::arguments().mid(1));
}

}  // namespace

int main(int argc, char** argv) {
  return trackmill::RunCatchingFailures([&] { return RunProgram(argc, argv); });
}
