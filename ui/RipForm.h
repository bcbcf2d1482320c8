#pragma once
#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>

#include "cd/Drive.h"
#include "common/JobItem.h"
#include "jobs/OverwriteQuestion.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The job window: a small modal progress window over the job runner (TJobRunner), which does
// all the work and decides every text. The window starts the job once it is shown, shows the
// runner's caption, phase, times and gauge, shows the runner's messages as boxes, asks before
// an output file is replaced (in a job of several files "Yes to All" and "No to All" answer
// for the rest of the job), and closes itself when the job has finished. Stop, Escape and
// the close button stop the job first; the window closes once the runner reports the end.
//
// Run it with exec(); it centres itself over its parent. The encoder runners are not owned and
// must outlive the window. Main thread only.
namespace trackmill {

class TJobRunner;
class TMp3EncodeProcess;
class TWMAEncodeProcess;

class TRipForm : public QDialog, private TOverwriteQuestion {
  Q_OBJECT
 public:
  TRipForm(QWidget* owner, int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
           TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner);
  ~TRipForm() override;

  const TJobRunner& Runner() const { return *runner_; }
  // The failures shown during the job, and whether the user stopped it.
  const QStringList& Errors() const { return errors_; }
  bool StoppedByUser() const { return stoppedByUser_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool ConfirmOverwrite(const QString& path, const QString& question) override;
  void ShowRunnerState();
  void StopJob();
  void JobFinished();

  std::unique_ptr<TJobRunner> runner_;
  QGroupBox* phaseBox_;
  QLabel* elapsedLabel_;
  QLabel* estimatedLabel_;
  QLabel* initializingLabel_;  // "Initializing..."
  QProgressBar* progressBar_;
  QLabel* jobLabel_;               // a job of several items: how many are done
  QProgressBar* jobProgressBar_;   // and the whole job's gauge
  QPushButton* stopButton_;
  bool shown_ = false;
  bool stoppedByUser_ = false;
  bool severalFiles_;                   // the overwrite question offers "to All" answers
  std::optional<bool> overwriteForAll_;  // the "to All" answer, for the rest of the job
  QStringList errors_;
};

}  // namespace trackmill
