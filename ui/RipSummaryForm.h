#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidget;

// The end of a rip at a glance, a thin view over a RipSummary: the files written and the
// folder they are in, how each track ended and what the checksum database says of it, with
// "Open folder" (the file manager, through QDesktopServices) and Close. Not modal: the main
// window stays usable while it is open. Translated into the current language when it is
// made; the summary's own texts come translated. The caller owns it (a child of the main
// window; RipResults deletes it on close). Main thread only.
namespace trackmill {

struct RipSummary;

class RipSummaryForm : public QDialog {
  Q_OBJECT
 public:
  explicit RipSummaryForm(QWidget* parent = nullptr);

  void ShowSummary(const RipSummary& summary);

 private:
  void OpenFolder() const;

  QLabel* writtenLabel_;
  QLabel* verificationLabel_;
  QLabel* logErrorLabel_;
  QLabel* folderLabel_;
  QTreeWidget* trackList_;
  QPushButton* openFolderButton_;
  QString folder_;
};

}  // namespace trackmill
