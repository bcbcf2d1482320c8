#pragma once
#include <QDialog>
#include <QStringList>
#include <memory>

#include "common/JobItem.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The extraction window of the fallback path (no drive-layer handle): a small modal progress
// window over TFallbackRip, which does the work. It starts the rip once it is shown, shows the
// current track, the output format, the selected and completed counts, the step and the
// gauge, and closes itself after the last track. Stop, Escape and the close button stop the
// rip; the window closes once the rip reports its end. Tracks that failed are listed in one
// error box before it closes. Its texts stay English (it is not translated).
//
// Run it with exec(). The CD input and the runners are not owned and must outlive the window.
// Main thread only.
namespace trackmill {

class TCDIn;
class TFallbackRip;
class TMp3EncodeProcess;
class TWMAEncodeProcess;

class TfrmCDRip : public QDialog {
  Q_OBJECT
 public:
  TfrmCDRip(QWidget* owner, TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
            TWMAEncodeProcess* wmaRunner);
  ~TfrmCDRip() override;

  const TFallbackRip& Rip() const { return *rip_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowRipState();
  void StopRip();
  void RipFinished();

  std::unique_ptr<TFallbackRip> rip_;
  QLabel* currentTrackLabel_;
  QLabel* outputFormatLabel_;
  QLabel* selectedTracksLabel_;
  QLabel* completedLabel_;
  QLabel* progressHintLabel_;
  QProgressBar* trackProgress_;
  QPushButton* stopButton_;
  bool shown_ = false;
};

}  // namespace trackmill
