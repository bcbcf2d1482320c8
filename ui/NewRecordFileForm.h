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
  QComboBox* sampleRate_;
  QRadioButton* eightBit_;
  QRadioButton* sixteenBit_;
  QRadioButton* mono_;
  QRadioButton* stereo_;
};

}  // namespace trackmill
