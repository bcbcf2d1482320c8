// screenshots: renders every window of the program to OUTPUT_DIR/<window>-<language>.png,
// once per language named, in the state the window starts in; with a disc image, the main
// window lists that disc.
// Usage: screenshots [--disc-image CUE] OUTPUT_DIR LANGUAGE...
#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "settings/Settings.h"
#include "ui/FormRegistry.h"

namespace trackmill {
namespace {

bool Render(QWidget* window, const QString& path) {
  window->show();
  QApplication::processEvents();
  const bool saved = window->grab().save(path);
  window->close();
  return saved;
}

}  // namespace
}  // namespace trackmill

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  QString discImage;
  if (args.size() >= 2 && args[0] == u"--disc-image") {
    discImage = args[1];
    args = args.mid(2);
  }
  if (args.size() < 2) {
    QTextStream(stderr) << "usage: screenshots [--disc-image CUE] OUTPUT_DIR LANGUAGE...\n";
    return 2;
  }
  const QDir folder(args.takeFirst());
  QDir().mkpath(folder.path());
  int failures = 0;
  for (const QString& language : args) {
    trackmill::Settings().Lan = language;
    for (const trackmill::FormFactory make : trackmill::FormFactories()) {
      const std::unique_ptr<QWidget> window = make();
      const QString path = folder.filePath(window->objectName() + '-' + language + ".png");
      if (!trackmill::Render(window.get(), path)) {
        QTextStream(stderr) << "screenshots: cannot write " << path << '\n';
        ++failures;
      }
    }
  }
  return failures == 0 ? 0 : 1;
}
