#pragma once
#include <QDialog>

#include "app/shell/OptionRules.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

// The options dialog: edits the settings the jobs use (output folder and format, normalising,
// the length limit, the MP3, Ogg Vorbis, WMA and FLAC encoders, the disc's tag values, the
// drive, checksum verification and the metadata servers).
//
// Each show fills the controls from Settings() and its current disc, so the values of a
// lookup made since the last show are there. OK checks every typed value first and changes
// nothing while one is wrong (a box says which, its page is shown, the dialog stays open); a
// missing output folder is made (the default one at once, a typed one when the user agrees); then it copies all
// controls into Settings() and, when another drive was chosen, has the main window open and
// list it. Cancel, Escape and the close button change nothing. The file is written when the
// main window closes.
//
// main may be null (the language file and the screenshots build the dialog alone): then the
// drive layer counts as giving a handle and no drive is opened. Not owned; must outlive the
// dialog. Main thread only.
namespace trackmill {

class TMainForm;

class TOptionSetForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOptionSetForm(TMainForm* main = nullptr, QWidget* parent = nullptr);

 public slots:
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Building (OptionSetPages.cpp).
  QWidget* OutputPage();
  QWidget* Mp3Page();
  QWidget* OggPage();
  QWidget* WmaPage();
  QWidget* FlacPage();
  QWidget* Id3Page();
  QWidget* CdRomPage();

  // Behaviour (OptionSetForm.cpp).
  void FillFromSettings();
  void FillDriveList();
  void UpdateControls();
  OptionState CurrentState() const;
  bool fallbackDrive() const;
  // Checks every typed value; on the first wrong one shows its box, focuses it and says false.
  bool CheckTypedValues();
  void CopyIntoSettings();
  void ChangeDriveWhenChosen();
  void BrowseOutputFolder();
  void RestoreMp3Defaults();
  void RestoreWmaDefaults();
  // Shows the box (none for empty text), then the page of control, and focuses it.
  void RejectValue(const QString& text, QWidget* control);
  void ShowRefusedControl(QWidget* control);
  // True when folder exists or was made: the default one at once, a typed one when the user
  // agrees; otherwise says why and shows the Output page.
  bool MakeOutputFolder(const QString& folder);

  TMainForm* main_;
  int rememberedDrive_ = 0;  // drive list position of the drive in use when the dialog was filled
  bool driveListFilled_ = false;

  QTabWidget* pages_;
  QWidget* outputPage_;
  QWidget* mp3Page_;
  QWidget* cdRomPage_;
  // Output
  QLineEdit* outputFolder_;
  QPushButton* browseButton_;
  QCheckBox* deleteWav_;
  QCheckBox* openFolderAfterRip_;
  QComboBox* outputFormat_;
  QCheckBox* normalize_;
  QSpinBox* normalizePercent_;
  QGroupBox* ripTimeGroup_;
  QCheckBox* limitLength_;
  QLineEdit* lengthSeconds_;
  QCheckBox* writeRipLog_;
  QComboBox* replayGain_;
  QSpinBox* encoderProcesses_;
  QComboBox* namePreset_;
  QLineEdit* namePattern_;
  QLabel* nameExample_;
  // MP3
  QCheckBox* useVbr_;
  QCheckBox* writeVbrHeader_;
  QComboBox* mp3BitRate_;
  QComboBox* mp3MaxBitRate_;
  QComboBox* vbrQuality_;
  QComboBox* mpegQuality_;
  QComboBox* stereoMode_;
  QPushButton* mp3DefaultsButton_;
  // OGG
  QCheckBox* oggUseQuality_;
  QSlider* oggQuality_;
  QComboBox* oggNominalBitRate_;
  QComboBox* oggMaxBitRate_;
  QComboBox* oggMinBitRate_;
  // WMA
  QComboBox* wmaBitRate_;
  QPushButton* wmaDefaultsButton_;
  // FLAC
  QSpinBox* flacLevel_;
  // ID3 Tag
  QCheckBox* useTags_;
  QLineEdit* tagArtist_;
  QLineEdit* tagAlbum_;
  QLineEdit* tagYear_;
  QComboBox* tagGenre_;
  QLineEdit* tagComment_;
  QCheckBox* fetchCoverArt_;
  QLineEdit* musicBrainzServer_;
  QLineEdit* coverArtServer_;
  QLineEdit* musicBrainzContact_;
  // CD-ROM
  QComboBox* driveList_;
  QCheckBox* useCddb_;
  QCheckBox* verifyAccurateRip_;
  QLineEdit* accurateRipServer_;

  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace trackmill
