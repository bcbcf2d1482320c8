#pragma once
#include <QDialog>

#include "app/shell/OptionRules.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
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
// nothing while one is wrong (a box says which, the dialog stays open); then it copies all
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
  void FormShow();
  void FillDriveList();
  void UpdateControls();
  OptionState CurrentState() const;
  bool fallbackDrive() const;
  // Checks every typed value; on the first wrong one shows its box, focuses it and says false.
  bool CheckTypedValues();
  void CopyIntoSettings();
  void ChangeDriveWhenChosen();
  void btBrowserClick();
  void bDefaultClick();
  void bWMADefaultClick();
  void RejectValue(const QString& text, QWidget* control);

  TMainForm* main_;
  int rememberedDrive_ = 0;  // drive list position of the drive in use when the dialog was filled
  bool driveListFilled_ = false;

  QTabWidget* pages_;
  QWidget* outputPage_;  // Output
  QWidget* mp3Page_;  // MP3
  QWidget* cdRomPage_;  // CD-ROM
  // Output
  QLineEdit* editOutputDir;
  QPushButton* btBrowser;
  QCheckBox* ckbKeepWav;
  QComboBox* cbOutputFormat;
  QCheckBox* ckNormalize;
  QSpinBox* normalizePercent_;
  QGroupBox* ripTimeGroup_;
  QCheckBox* cbRipTime;
  QLineEdit* eRipTime;
  QCheckBox* ckbWriteRipLog;
  QComboBox* cbReplayGain;
  QSpinBox* seEncoderProcesses;
  // MP3
  QCheckBox* ckbSelectVBR;
  QCheckBox* ckbVBRHead;
  QComboBox* cbBitRate;
  QComboBox* cbMaxBitRate;
  QComboBox* cbVBRQuality;
  QComboBox* cbMpegQuality;
  QComboBox* cbStereoMode;
  QPushButton* bDefault;
  // OGG
  QCheckBox* cbUseCompress;
  QSlider* tbCompression;
  QComboBox* cbOggNomBit;
  QComboBox* cbOggMaxBit;
  QComboBox* cbOggMinBit;
  // WMA
  QComboBox* cbWMABitrate;
  QPushButton* bWMADefault;
  // FLAC
  QSpinBox* seFlacLevel;
  // ID3 Tag
  QCheckBox* cbUseID3;
  QLineEdit* ID3artist;
  QLineEdit* ID3album;
  QLineEdit* ID3year;
  QComboBox* ID3genre;
  QLineEdit* ID3comment;
  QCheckBox* ckbCoverArt;
  QLineEdit* eMusicBrainzServer;
  QLineEdit* eCoverArtServer;
  QLineEdit* eMusicBrainzContact;
  // CD-ROM
  QComboBox* cbCDList;
  QCheckBox* ckbCDDb;
  QCheckBox* ckbAccurateRip;
  QLineEdit* eAccurateRipServer;

  QPushButton* btOk;
  QPushButton* btCancel;
};

}  // namespace trackmill
