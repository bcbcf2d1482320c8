#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Start-up decisions made before any application object exists: whether the command line
// asks for the main window, and whether there is a display to show it on.
namespace trackmill {

struct WindowStart {
  bool openWindow = false;  // false: a headless command (or help) runs instead
  QString discImage;        // --disc-image FILE: open the window on that image
  int driveIndex = -1;      // --drive N: open the window on drive N of the drive list
  QString error;            // malformed window options
};

// arguments without the program name. No arguments, or only --disc-image FILE or --drive N,
// open the window; anything else belongs to the command line.
WindowStart ParseWindowArguments(const QStringList& arguments);

// Empty when a window can be shown; otherwise one line that says why not and points to the
// command line. Looks at DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
QString NoDisplayMessage(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

}  // namespace trackmill
