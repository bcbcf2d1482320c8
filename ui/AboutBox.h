#pragma once
#include <QDialog>

namespace trackmill {

// The about box: the program's title and version, credits, and the libraries and programs it
// uses with their licences. Modal, opened and freed by the main window; translated into the
// current language when first shown. Main thread only.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace trackmill
