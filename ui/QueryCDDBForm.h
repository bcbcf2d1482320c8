#pragma once
#include <QDialog>
#include <QStringList>

#include "cddb/CddbToc.h"
#include "settings/Settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace trackmill {

// The CDDB query window: the server settings ([QueryCDDB] of the settings) and the Query
// button, which stores them and runs the progress window for the disc. Ends with Accepted
// once a query has ended, when disc and rowTitles hold what it found; Close ends it with
// Rejected and leaves them as they were. Query needs an e-mail address (servers refuse
// clients without one); a hint says so while the field is empty.
//
// disc and rowTitles (rowTitles[0] is the row of toc's first track) belong to the opener and
// must outlive the window. Translated when first shown. Main thread only.
class TfrmQueryCDDB : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmQueryCDDB(QWidget* parent = nullptr, CddbToc toc = {}, DiscInfo* disc = nullptr,
                         QStringList* rowTitles = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillFromSettings();
  void RestoreDefaults();
  void Query();
  void UpdateControls();

  CddbToc toc_;
  DiscInfo* disc_;
  QStringList* rowTitles_;
  bool shown_ = false;

  QGroupBox* serverGroup_;
  QComboBox* server_;
  QLineEdit* script_;
  QLineEdit* email_;
  QLabel* emailHint_;
  QGroupBox* proxyGroup_;
  QCheckBox* useProxy_;
  QLabel* proxyAddressLabel_;
  QLineEdit* proxyAddress_;
  QLabel* proxyPortLabel_;
  QLineEdit* proxyPort_;
  QPushButton* queryButton_;
  QPushButton* closeButton_;
  QPushButton* defaultsButton_;
};

}  // namespace trackmill
