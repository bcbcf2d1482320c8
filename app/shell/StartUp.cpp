#include "app/shell/StartUp.h"

namespace trackmill {
namespace {

// Qt platforms that draw without a display server.
bool NeedsNoDisplay(const QString& platform) {
  static const QStringList kPlatforms = {"offscreen", "minimal", "minimalegl", "vnc",
                                         "linuxfb",   "eglfs",   "vkkhrdisplay"};
  return kPlatforms.contains(platform);
}

}  // namespace

WindowStart ParseWindowArguments(const QStringList& arguments) {
  WindowStart start;
  QStringList args = arguments;
  while (!args.isEmpty()) {
    const QString option = args.takeFirst();
    if (option != "--disc-image" && option != "--drive") return {};  // a command
    if (args.isEmpty()) {
      start.error = option + (option == "--drive" ? " needs a drive number" : " needs a file name");
      break;
    }
    const QString value = args.takeFirst();
    if (option == "--drive") {
      bool ok = false;
      start.driveIndex = value.toInt(&ok);
      if (!ok || start.driveIndex < 0) start.error = QStringLiteral("bad drive number \"%1\"").arg(value);
    } else {
      start.discImage = value;
    }
  }
  if (start.error.isEmpty() && !start.discImage.isEmpty() && start.driveIndex >= 0)
    start.error = "give either --disc-image or --drive, not both";
  start.openWindow = true;
  return start;
}

QString NoDisplayMessage(const QProcessEnvironment& environment) {
  const bool x11 = !environment.value("DISPLAY").isEmpty();
  const bool wayland = !environment.value("WAYLAND_DISPLAY").isEmpty();
  const QString requested = environment.value("QT_QPA_PLATFORM");
  if (requested.isEmpty()) {
    if (x11 || wayland) return {};
  } else {
    // "name[:options]" candidates separated by ";", tried in order.
    for (const QString& candidate : requested.split(';', Qt::SkipEmptyParts)) {
      const QString platform = candidate.section(':', 0, 0).trimmed();
      if (NeedsNoDisplay(platform) || (platform == "xcb" && x11) ||
          (platform.startsWith("wayland") && wayland))
        return {};
    }
  }
  return QStringLiteral(
      "trackmill: no display to open the main window on (DISPLAY and WAYLAND_DISPLAY are not "
      "set); see trackmill --help for the commands that run without one");
}

}  // namespace trackmill
