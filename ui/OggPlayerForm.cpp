#include "ui/OggPlayerForm.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "player/OggPlayer.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"

namespace trackmill {

namespace {

constexpr int kTimerMs = 500;

}  // namespace

TfrmOggPlayer::TfrmOggPlayer(QWidget* parent) : QDialog(parent), player_(new OggPlayer(this)) {
  setObjectName(QStringLiteral("frmOggPlayer"));
  setWindowTitle(QStringLiteral("Ogg Player"));

  infoPanel_ = Named(new QFrame(this), "Panel1");
  infoPanel_->setFrameShape(QFrame::StyledPanel);
  infoPanel_->setToolTip(QStringLiteral("Press 'Play' button to open and play ogg file."));
  fileNameLabel_ = Named(new QLabel(QStringLiteral("OGG"), infoPanel_), "lbFileName");
  rateLabel_ = Named(new QLabel(QStringLiteral("Hz"), infoPanel_), "lbRate");
  elapsedLabel_ = Named(new QLabel(QStringLiteral("0:00"), infoPanel_), "lbElapsed");
  slashLabel_ = Named(new QLabel(QStringLiteral("/"), infoPanel_), "lbSlash");
  totalLabel_ = Named(new QLabel(QStringLiteral("0:00"), infoPanel_), "lbTotal");
  auto* panelLayout = new QVBoxLayout(infoPanel_);
  panelLayout->addWidget(fileNameLabel_);
  auto* times = new QHBoxLayout;
  times->addWidget(rateLabel_);
  times->addStretch();
  times->addWidget(elapsedLabel_);
  times->addWidget(slashLabel_);
  times->addWidget(totalLabel_);
  panelLayout->addLayout(times);

  positionBar_ = Named(new QSlider(Qt::Horizontal, this), "tbPosition");
  positionBar_->setRange(0, 100);
  positionBar_->setEnabled(false);
  playButton_ = Named(new QPushButton(QStringLiteral("Play"), this), "btPlay");
  playButton_->setToolTip(QStringLiteral("Press to open and play ogg file."));
  pauseButton_ = Named(new QPushButton(QStringLiteral("Pause"), this), "btPause");
  stopButton_ = Named(new QPushButton(QStringLiteral("Stop"), this), "btStop");
  balanceSlider_ = Named(new QSlider(Qt::Horizontal, this), "tbBalance");
  balanceSlider_->setRange(0, 10);
  balanceSlider_->setValue(5);
  closeButton_ = Named(new QPushButton(QStringLiteral("Close"), this), "btClose");
  commentsView_ = Named(new QPlainTextEdit(this), "mmComments");
  commentsView_->setReadOnly(true);
  elapsedTimer_ = Named(new QTimer(this), "Timer1");
  elapsedTimer_->setInterval(kTimerMs);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(playButton_);
  buttons->addWidget(pauseButton_);
  buttons->addWidget(stopButton_);
  buttons->addWidget(balanceSlider_);
  buttons->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(infoPanel_);
  layout->addWidget(positionBar_);
  layout->addLayout(buttons);
  layout->addWidget(commentsView_);

  connect(playButton_, &QPushButton::clicked, this, &TfrmOggPlayer::PlayClicked);
  connect(pauseButton_, &QPushButton::clicked, this, &TfrmOggPlayer::PauseClicked);
  connect(stopButton_, &QPushButton::clicked, this, &TfrmOggPlayer::StopClicked);
  connect(closeButton_, &QPushButton::clicked, this, &TfrmOggPlayer::CloseClicked);
  // Escape closes wherever the focus is: a focused child (the comments, a slider) would
  // otherwise see the key first.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &TfrmOggPlayer::reject);
  connect(elapsedTimer_, &QTimer::timeout, this, &TfrmOggPlayer::ElapsedTick);
  connect(balanceSlider_, &QSlider::valueChanged, this, [this](int value) { player_->SetBalance(value); });
  // Progress moves the bar too; only the user's moves seek, and a drag seeks once, when let go.
  connect(positionBar_, &QSlider::valueChanged, this, [this](int value) {
    if (!showingProgress_ && !positionBar_->isSliderDown()) PositionChosen(value);
  });
  connect(positionBar_, &QSlider::sliderReleased, this, [this] { PositionChosen(positionBar_->value()); });

  PortAudioOutput* output = player_->Output();
  output->SetOnProgress([this](TAuOutput* sender) {
    if (positionBar_->isSliderDown()) return;
    showingProgress_ = true;
    positionBar_->setValue(sender->Progress());
    showingProgress_ = false;
  });
  output->SetOnThreadException([this](TAuOutput* sender) { failure_ = sender->ExceptionMessage(); });
  output->SetOnDone([this](TAuOutput*) { PlaybackDone(); });
  TranslateWhenFirstShown(this);
}

TfrmOggPlayer::~TfrmOggPlayer() {
  // Stops playback before the widgets its handlers touch go away.
  delete player_;
}

void TfrmOggPlayer::PlayClicked() {
  const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                        QStringLiteral("Sound file(*.ogg *.oga);; Any file(*)"));
  // A desktop's own file dialog may leave the focus to the main window, where Escape and the
  // keys of this window would go astray.
  activateWindow();
  if (!fileName.isEmpty()) PlayFile(fileName);
}

void TfrmOggPlayer::PlayFile(const QString& fileName) {
  if (!player_->Open(fileName)) {
    ShowMessageBox(this, QStringLiteral("Ogg file is not valid."), QMessageBox::Warning);
    return;
  }
  playButton_->setEnabled(false);
  fileNameLabel_->setText(player_->DisplayName());
  failure_.clear();
  // Read before playback starts: the output's thread then owns the file.
  const QString rate = player_->RateText();
  const QString comments = player_->CommentLines().join(QLatin1Char('\n'));
  try {
    player_->Play();
  } catch (const std::exception&) {
    playButton_->setEnabled(true);
    return;
  }
  elapsedTimer_->start();
  elapsedMs_ = 0;
  ShowElapsed();
  rateLabel_->setText(rate);
  totalLabel_->setText(OggPlayer::MinutesSeconds(player_->TotalSeconds()));
  positionBar_->setEnabled(true);
  commentsView_->setPlainText(comments);
}

void TfrmOggPlayer::ElapsedTick() {
  if (elapsedMs_ >= player_->TotalSeconds() * 1000) return;
  elapsedMs_ += kTimerMs;
  ShowElapsed();
}

void TfrmOggPlayer::ShowElapsed() { elapsedLabel_->setText(OggPlayer::MinutesSeconds(elapsedMs_ / 1000)); }

void TfrmOggPlayer::PositionChosen(int position) {
  if (player_->Idle()) return;
  elapsedMs_ = player_->JumpTo(position);
  ShowElapsed();
}

void TfrmOggPlayer::PauseClicked() {
  if (player_->Idle()) return;
  if (player_->TogglePause()) elapsedTimer_->start();
  else elapsedTimer_->stop();
}

void TfrmOggPlayer::StopClicked() {
  player_->Stop();
  elapsedTimer_->stop();
}

void TfrmOggPlayer::CloseClicked() {
  StopClicked();
  closing_ = true;
  if (player_->Idle()) QDialog::reject();
}

void TfrmOggPlayer::PlaybackDone() {
  playButton_->setEnabled(true);
  positionBar_->setEnabled(false);
  elapsedTimer_->stop();
  if (closing_) {
    QDialog::reject();
    return;
  }
  // Said once, beside the comments: what was heard had gaps.
  if (player_->DamagedSpots() > 0) commentsView_->appendPlainText(QStringLiteral("Damaged data skipped"));
  if (!failure_.isEmpty()) {
    // Not from inside the handler: the box would hold the pipeline's event delivery.
    QTimer::singleShot(0, this, [this, text = failure_] { ShowMessageBox(this, text, QMessageBox::Critical); });
    failure_.clear();
  }
}

void TfrmOggPlayer::reject() {
  if (closing_ && player_->Idle()) QDialog::reject();
  else if (!closing_) CloseClicked();
}

void TfrmOggPlayer::closeEvent(QCloseEvent* event) {
  if (closing_ && player_->Idle()) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  if (!closing_) CloseClicked();
}

}  // namespace trackmill
