#pragma once
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The disc's details above the main window's track list: artist, album, year and genre of
// the listed disc (the fields the options dialog's tag page edits too), its front cover when
// one was fetched, and "Tag files" ([ID3] Use).
//
// The controls are bound to the settings record: each edit goes at once into Settings().Disc
// (saved to the title cache with the titles) or Settings().UseID3; ShowDisc fills them from it
// again after anything else changed it (a disc change, a lookup, the options dialog). Without
// a disc the disc fields are empty and cannot be edited; the check box stays, it is a setting.
// Main thread only.
namespace trackmill {

class TDiscFieldsPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TDiscFieldsPanel(QWidget* parent = nullptr);

  // hasDisc: a disc is listed, so Settings().Disc is its record. coverPath: the disc's front
  // cover; none shown when the file is missing or not an image.
  void ShowDisc(bool hasDisc, const QString& coverPath);
  // The cover beside the fields (hidden when the disc has none).
  const QLabel* Cover() const { return cover_; }

 signals:
  // The user changed the disc's artist: tracks without an artist of their own show it.
  void ArtistEdited();

 private:
  QLineEdit* artist_;
  QLineEdit* album_;
  QLineEdit* year_;
  QComboBox* genre_;
  QLabel* cover_;
  QCheckBox* tagFiles_;
  bool hasDisc_ = false;
};

}  // namespace trackmill
