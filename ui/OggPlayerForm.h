#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimer;

namespace trackmill {

class OggPlayer;

// The Ogg player window: plays one Ogg Vorbis file at a time (OggPlayer) with its rate, length,
// elapsed time and comments, pause/resume, stop, seeking on the position bar and a balance
// slider. The window closes only once playback has ended: a close request stops playback and
// the window closes on the done event. Failures of the sound output are shown once playback
// has ended. Translated when first shown. Main thread only.
class TfrmOggPlayer : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmOggPlayer(QWidget* parent = nullptr);
  ~TfrmOggPlayer() override;

  // The play button's work after the file dialog: refuses a file it will not play.
  void PlayFile(const QString& fileName);
  OggPlayer& Player() { return *player_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void PlayClicked();
  void PauseClicked();
  void StopClicked();
  void CloseClicked();
  void ElapsedTick();
  void PositionChosen(int position);
  void ShowElapsed();
  void PlaybackDone();

  OggPlayer* player_;
  QFrame* infoPanel_;
  QLabel* fileNameLabel_;
  QLabel* rateLabel_;
  QLabel* elapsedLabel_;
  QLabel* slashLabel_;
  QLabel* totalLabel_;
  QSlider* positionBar_;
  QPushButton* playButton_;
  QPushButton* pauseButton_;
  QPushButton* stopButton_;
  QSlider* balanceSlider_;
  QPushButton* closeButton_;
  QPlainTextEdit* commentsView_;
  QTimer* elapsedTimer_;

  qint64 elapsedMs_ = 0;
  bool closing_ = false;
  bool showingProgress_ = false;
  QString failure_;
};

}  // namespace trackmill
