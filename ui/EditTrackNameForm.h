#pragma once
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace trackmill {

// The rename window: edits one track title. The opener puts the title in with setTrackName,
// runs the window with exec() and, on Accepted, reads trackName() back. OK (and Enter in the
// field) is possible only while the field is not empty. Translated into the current language
// when first shown. Main thread only.
class TfrmEditTrackName : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmEditTrackName(QWidget* parent = nullptr);

  void setTrackName(const QString& name);
  QString trackName() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void UpdateOkButton();

  QGroupBox* titleGroup_;
  QLineEdit* name_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace trackmill
