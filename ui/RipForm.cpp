#include "ui/RipForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "jobs/JobRunner.h"
#include "settings/LangString.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

constexpr int kWindowWidth = 420;

}  // namespace

TRipForm::TRipForm(QWidget* owner, int jobKind, std::shared_ptr<CdDrive> cdDrive, const JobItems& items,
                   TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner)
    : QDialog(owner),
      runner_(std::make_unique<TJobRunner>(jobKind, std::move(cdDrive), items, mp3Runner, wmaRunner,
                                           static_cast<TOverwriteQuestion*>(this))),
      severalFiles_(items.size() > 1) {
  setObjectName("RipForm");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  phaseBox_ = Named(new QGroupBox(LangString("RES_Extracting"), this), "GroupBox1");
  auto* grid = new QGridLayout(phaseBox_);
  grid->addWidget(Named(new QLabel("Time elapsed:", phaseBox_), "Label10"), 0, 0);
  elapsedLabel_ = Named(new QLabel(phaseBox_), "Label1");
  grid->addWidget(elapsedLabel_, 0, 1);
  grid->addWidget(Named(new QLabel("Time estimated:", phaseBox_), "Label20"), 1, 0);
  estimatedLabel_ = Named(new QLabel(phaseBox_), "Label2");
  grid->addWidget(estimatedLabel_, 1, 1);
  grid->setColumnStretch(1, 1);
  // "Initializing..." lies over the gauge until the first progress arrives.
  progressBar_ = Named(new QProgressBar(phaseBox_), "FlatGauge1");
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  initializingLabel_ = Named(new QLabel(LangString("RES_Initing"), phaseBox_), "Label3");
  initializingLabel_->setAlignment(Qt::AlignCenter);
  grid->addWidget(progressBar_, 2, 0, 1, 2);
  grid->addWidget(initializingLabel_, 2, 0, 1, 2);
  // A job of several items also shows how far the whole job is.
  jobLabel_ = Named(new QLabel(phaseBox_), "LabelJob");
  jobProgressBar_ = Named(new QProgressBar(phaseBox_), "FlatGaugeJob");
  jobProgressBar_->setRange(0, 100);
  grid->addWidget(jobLabel_, 3, 0, 1, 2);
  grid->addWidget(jobProgressBar_, 4, 0, 1, 2);
  jobLabel_->setVisible(severalFiles_);
  jobProgressBar_->setVisible(severalFiles_);

  stopButton_ = Named(new QPushButton("Stop", this), "btStop");
  connect(stopButton_, &QPushButton::clicked, this, &TRipForm::StopJob);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(phaseBox_);
  layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
  setFixedWidth(kWindowWidth);
  setFixedHeight(sizeHint().height());

  connect(runner_.get(), &TJobRunner::Changed, this, &TRipForm::ShowRunnerState);
  // Boxes wait until the runner's handler has returned, so the job never re-enters itself.
  connect(runner_.get(), &TJobRunner::ErrorMessage, this,
          [this](const QString& text) {
            errors_ << text;
            ShowMessageBox(this, text, QMessageBox::Critical);
          },
          Qt::QueuedConnection);
  connect(runner_.get(), &TJobRunner::InformationMessage, this,
          [this](const QString& text) { ShowMessageBox(this, text, QMessageBox::Information); },
          Qt::QueuedConnection);
  connect(runner_.get(), &TJobRunner::Finished, this, &TRipForm::JobFinished, Qt::QueuedConnection);
}

TRipForm::~TRipForm() = default;

void TRipForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  TranslateShownForm(this);
  if (QWidget* owner = parentWidget()) {
    const QRect main = owner->frameGeometry();
    move(main.left() + (main.width() - frameGeometry().width()) / 2,
         main.top() + (main.height() - frameGeometry().height()) / 2);
  }
  ShowRunnerState();
  // Started from the window's own event loop, so a job that ends at once still closes it.
  QTimer::singleShot(0, runner_.get(), &TJobRunner::Start);
}

void TRipForm::ShowRunnerState() {
  const TJobRunner& job = *runner_;
  if (!job.Caption().isEmpty()) setWindowTitle(job.Caption());
  if (!job.Phase().isEmpty()) phaseBox_->setTitle(job.Phase());
  elapsedLabel_->setText(job.ElapsedText());
  estimatedLabel_->setText(job.EstimatedText());
  initializingLabel_->setVisible(job.InitializingVisible());
  progressBar_->setTextVisible(job.GaugeTextVisible());
  progressBar_->setValue(job.GaugePercent());
  jobLabel_->setText(LangStringOrEnglish("RES_Job_Done_Of").arg(job.SettledCount()).arg(job.ItemCount()));
  jobProgressBar_->setValue(job.JobPercent());
}

bool TRipForm::ConfirmOverwrite(const QString&, const QString& question) {
  if (overwriteForAll_) return *overwriteForAll_;
  switch (AskOverwrite(this, question, severalFiles_)) {
    case QMessageBox::YesToAll:
      overwriteForAll_ = true;
      return true;
    case QMessageBox::NoToAll:
      overwriteForAll_ = false;
      return false;
    case QMessageBox::Yes:
      return true;
    default:
      return false;
  }
}

void TRipForm::StopJob() {
  stopButton_->setEnabled(false);
  if (runner_->IsFinished()) return JobFinished();
  stoppedByUser_ = true;
  runner_->Stop();  // Finished() follows from the event loop and closes the window
}

void TRipForm::JobFinished() {
  if (isVisible()) accept();
}

void TRipForm::reject() { StopJob(); }

void TRipForm::closeEvent(QCloseEvent* event) {
  if (runner_->IsFinished()) return QDialog::closeEvent(event);
  event->ignore();
  StopJob();
}

}  // namespace trackmill
