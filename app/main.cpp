#include <QCoreApplication>

#include "app/cli/CommandLine.h"
#include "common/AppInfo.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(trackmill::kAppTitle);
  QCoreApplication::setApplicationVersion(trackmill::kAppVersion);
  return trackmill::cli::RunCommandLine(QCoreApplication::arguments().mid(1));
}
