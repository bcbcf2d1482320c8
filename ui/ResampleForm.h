#pragma once
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStatusBar;

// "Wave File Converter": one WAV file into another with a chosen channel count, sample rate,
// bits per sample and encoding, through WaveFileConversion (which runs on the pipeline's
// worker and renames its result into place only when it succeeded). The status line shows
// "Converting...", "Success!" or what went wrong, an abort included. Any number of
// conversions may follow in the same window; closing it stops a conversion under way. Its
// texts stay English (it is not translated). Main thread only.
namespace trackmill {

class WaveFileConversion;

class TfrmResample : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmResample(QWidget* parent = nullptr);
  ~TfrmResample() override;

  // What the two file buttons do once their dialog is confirmed.
  void SetInputFile(const QString& path);
  void SetOutputFile(const QString& path);
  QString StatusText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ChooseInputFile();
  void ChooseOutputFile();
  void Convert();
  void Abort();
  void ConversionFinished(const QString& failure);
  void SetStatus(const QString& text);

  WaveFileConversion* conversion_;
  QProgressBar* progress_;
  QLabel* inputName_;
  QLabel* inputChannels_;
  QLabel* inputRate_;
  QLabel* inputBits_;
  QLabel* inputEncoding_;
  QLabel* outputName_;
  QSpinBox* outputChannels_;
  QLineEdit* outputRate_;
  QSpinBox* outputBits_;
  QComboBox* outputEncoding_;
  QPushButton* convertButton_;
  QStatusBar* statusBar_;
};

}  // namespace trackmill
