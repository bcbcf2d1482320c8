#pragma once
#include <QDialog>

namespace trackmill {

// The no-device hint: why no CD drive could be opened and what to do about it, with two
// links that open help pages in the browser (QDesktopServices). Shown modally by the main
// window, which decides when (never again while the user keeps returning to the window).
// Translated into the current language when first shown. Main thread only.
class TfrmNoDeviceHint : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmNoDeviceHint(QWidget* parent = nullptr);
};

}  // namespace trackmill
