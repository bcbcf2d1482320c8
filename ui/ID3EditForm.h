#pragma once
#include <QDialog>

#include "tags/Id3Tag.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace trackmill {

// The ID3 tag editor: loads the ID3v1 tag of an MP3 file into its fields, writes the fields
// back into that file or into another existing file, or cuts the tag off. All file changes go
// through Tid3tag; a save that fails says so and leaves fields, file and target as they were.
// A file that also carries an ID3v2 tag gets the fields the user changed in that tag too (and
// loses it on Remove), so players, which prefer that tag, show the edit; its texts may be
// longer than these fields, so fields left alone are not written there.
//
// The target file is the one last loaded or saved with Save As; Save and Remove exist only
// while there is one, and the caption names it. The opener creates the window, runs exec()
// and frees it; nothing is passed either way. Translated when first shown. Main thread only.
class TfrmID3Edit : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmID3Edit(QWidget* parent = nullptr);

  QString TargetFile() const { return target_; }
  // What Load does with the file its dialog gave.
  void LoadFile(const QString& file);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadChosenFile();
  void SaveTag();
  void SaveTagAs();
  void RemoveTag();
  void FillGenres();
  QString PickFile();
  void ShowTag();
  void ClearFields();
  void CopyFieldsToTag();
  void SetTarget(const QString& file);
  QStringList FieldTexts() const;  // in the order of kId3v2Frames
  // Writes the fields as the ID3v1 tag and the changes from before into an ID3v2 tag.
  bool WriteFields(const QString& file, const QStringList& before);

  Tid3tag tag_;
  QString target_;
  QStringList loadedTexts_;  // FieldTexts() as loaded or last saved
  bool shown_ = false;

  QGroupBox* tagGroup_;
  QLineEdit* title_;
  QLineEdit* artist_;
  QLineEdit* album_;
  QLineEdit* year_;
  QComboBox* genre_;
  QLineEdit* comment_;
  QLineEdit* track_;
  QPushButton* loadButton_;
  QPushButton* saveButton_;
  QPushButton* saveAsButton_;
  QPushButton* removeButton_;
  QPushButton* closeButton_;
};

}  // namespace trackmill
