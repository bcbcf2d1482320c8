#include "ui/CDRipForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "common/AppInfo.h"
#include "jobs/FallbackRip.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

constexpr int kWindowWidth = 360;

}  // namespace

TfrmCDRip::TfrmCDRip(QWidget* owner, TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
                     TWMAEncodeProcess* wmaRunner)
    : QDialog(owner), rip_(std::make_unique<TFallbackRip>(cdIn, items, mp3Runner, wmaRunner)) {
  setObjectName("frmCDRip");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(QString::fromLatin1(kAppTitle));

  auto* facts = new QGroupBox(this);
  auto* grid = new QGridLayout(facts);
  const auto addRow = [&](int row, const char* name, const char* caption, const char* valueName) {
    grid->addWidget(Named(new QLabel(QString::fromLatin1(caption), facts), name), row, 0);
    auto* value = Named(new QLabel(facts), valueName);
    grid->addWidget(value, row, 1);
    return value;
  };
  currentTrackLabel_ = addRow(0, "Label1", "Current track:", "lCurrentTrack");
  outputFormatLabel_ = addRow(1, "Label2", "Output format:", "lOutputFormat");
  selectedTracksLabel_ = addRow(2, "Label3", "Selected tracks:", "lSelectedTracks");
  completedLabel_ = addRow(3, "Label4", "Completed:", "lCompleted");
  grid->setColumnStretch(1, 1);

  auto* progressGroup = Named(new QGroupBox(this), "GroupBox1");
  auto* progress = new QVBoxLayout(progressGroup);
  progressHintLabel_ = Named(new QLabel(progressGroup), "lProgressHint");
  trackProgress_ = Named(new QProgressBar(progressGroup), "ProgressBar2");
  trackProgress_->setRange(0, 100);
  trackProgress_->setValue(0);
  progress->addWidget(progressHintLabel_);
  progress->addWidget(trackProgress_);

  stopButton_ = Named(new QPushButton("Stop", this), "bStop");
  connect(stopButton_, &QPushButton::clicked, this, &TfrmCDRip::StopRip);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(facts);
  layout->addWidget(progressGroup);
  layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
  setFixedWidth(kWindowWidth);
  setFixedHeight(sizeHint().height());

  connect(rip_.get(), &TFallbackRip::Changed, this, &TfrmCDRip::ShowRipState);
  connect(rip_.get(), &TFallbackRip::InformationMessage, this,
          [this](const QString& text) { ShowMessageBox(this, text, QMessageBox::Information); },
          Qt::QueuedConnection);
  connect(rip_.get(), &TFallbackRip::Finished, this, &TfrmCDRip::RipFinished, Qt::QueuedConnection);
  ShowRipState();
}

TfrmCDRip::~TfrmCDRip() = default;

void TfrmCDRip::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Started from the window's own event loop, so a rip that ends at once still closes it.
  QTimer::singleShot(0, rip_.get(), &TFallbackRip::Start);
}

void TfrmCDRip::ShowRipState() {
  const TFallbackRip& rip = *rip_;
  currentTrackLabel_->setText(rip.CurrentTrack());
  outputFormatLabel_->setText(rip.OutputFormatName());
  selectedTracksLabel_->setText(QString::number(rip.SelectedCount()));
  completedLabel_->setText(QString::number(rip.CompletedCount()));
  progressHintLabel_->setText(rip.ProgressHint());
  trackProgress_->setToolTip(rip.GaugeHint());
  trackProgress_->setValue(rip.GaugePercent());
}

void TfrmCDRip::StopRip() {
  stopButton_->setEnabled(false);
  rip_->Stop();  // Finished() follows from the event loop and closes the window
}

void TfrmCDRip::RipFinished() {
  if (!rip_->Errors().isEmpty())
    ShowMessageBox(this, "These tracks were not ripped as asked:\n" + rip_->Errors().join('\n'),
                   QMessageBox::Critical);
  if (isVisible()) accept();
}

void TfrmCDRip::reject() {
  if (!rip_->IsFinished()) StopRip();
}

void TfrmCDRip::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

}  // namespace trackmill
