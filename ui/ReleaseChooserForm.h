#pragma once
#include <QDialog>
#include <vector>

#include "cddb/MusicBrainzReply.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace trackmill {

// The release chooser: lists the releases a MusicBrainz lookup found for the disc (title,
// artist, date, country, barcode) with the first one selected. The opener runs it with exec()
// and, on Accepted, reads chosenIndex() (0-based; -1 when nothing is selected). Translated into
// the current language when first shown. Main thread only.
class TfrmReleaseChooser : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmReleaseChooser(QWidget* parent = nullptr);

  void setReleases(const std::vector<MusicBrainzRelease>& releases);
  int chosenIndex() const;

 private:
  QLabel* releasesLabel_;
  QTreeWidget* releaseList_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace trackmill
