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

TRipForm::TRipForm(QWidget* owner, int jobKind, TCDHandle cdHandle, const QStringList& items,
                   TMp3EncodeProcess* mp3Runner, TWMAEncodeProcess* wmaRunner)
    : QDialog(owner),
      runner_(std::make_unique<TJobRunner>(jobKind, cdHandle, items, mp3Runner, wmaRunner,
                                           static_cast<TOverwriteQuestion*>(this))) {
  setObjectName("RipForm");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  groupBox1_ = Named(new QGroupBox(LangString("RES_Extracting"), this), "GroupBox1");
  auto* grid = new QGridLayout(groupBox1_);
  grid->addWidget(Named(new QLabel("Time elapsed:", groupBox1_), "Label10"), 0, 0);
  label1_ = Named(new QLabel(groupBox1_), "Label1");
  grid->addWidget(label1_, 0, 1);
  grid->addWidget(Named(new QLabel("Time estimated:", groupBox1_), "Label20"), 1, 0);
  label2_ = Named(new QLabel(groupBox1_), "Label2");
  grid->addWidget(label2_, 1, 1);
  grid->setColumnStretch(1, 1);
  // "Initializing..." lies over the gauge until the first progress arrives.
  flatGauge1_ = Named(new QProgressBar(groupBox1_), "FlatGauge1");
  flatGauge1_->setRange(0, 100);
  flatGauge1_->setValue(0);
  flatGauge1_->setTextVisible(false);
  label3_ = Named(new QLabel(LangString("RES_Initing"), groupBox1_), "Label3");
  label3_->setAlignment(Qt::AlignCenter);
  grid->addWidget(flatGauge1_, 2, 0, 1, 2);
  grid->addWidget(label3_, 2, 0, 1, 2);

  btStop_ = Named(new QPushButton("Stop", this), "btStop");
  connect(btStop_, &QPushButton::clicked, this, &TRipForm::StopJob);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(groupBox1_);
  layout->addWidget(btStop_, 0, Qt::AlignHCenter);
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
  if (!job.Phase().isEmpty()) groupBox1_->setTitle(job.Phase());
  label1_->setText(job.ElapsedText());
  label2_->setText(job.EstimatedText());
  label3_->setVisible(job.InitializingVisible());
  flatGauge1_->setTextVisible(job.GaugeTextVisible());
  flatGauge1_->setValue(job.GaugePercent());
}

bool TRipForm::ConfirmOverwrite(const QString&, const QString& question) {
  return ConfirmDefaultNo(this, question);
}

void TRipForm::StopJob() {
  btStop_->setEnabled(false);
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
