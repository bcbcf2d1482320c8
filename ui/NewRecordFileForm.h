#pragma once
#include <QDialog>

class QComboBox;
class QRadioButton;

namespace trackmill {

// The new-file window of the recorder: sample rate, sample size and mode of a new recording.
// Translated when first shown. Main thread only.
class TfrmNewRecordFile : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmNewRecordFile(QWidget* parent = nullptr);

  int SampleRate() const;
  int Bits() const;
  int Channels() const;

 private:
  QComboBox* cbBitrate;
  QRadioButton* rb8bit;
  QRadioButton* rb16bit;
  QRadioButton* rbMono;
  QRadioButton* rbStereo;
};

}  // namespace trackmill
