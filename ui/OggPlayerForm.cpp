#include "ui/OggPlayerForm.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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

  Panel1 = Named(new QFrame(this), "Panel1");
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setToolTip(QStringLiteral("Press 'Play' button to open and play ogg file."));
  lbFileName = Named(new QLabel(QStringLiteral("OGG"), Panel1), "lbFileName");
  lbRate = Named(new QLabel(QStringLiteral("bps"), Panel1), "lbRate");
  lbElapsed = Named(new QLabel(QStringLiteral("0:00"), Panel1), "lbElapsed");
  lbSlash = Named(new QLabel(QStringLiteral("/"), Panel1), "lbSlash");
  lbTotal = Named(new QLabel(QStringLiteral("0:00"), Panel1), "lbTotal");
  auto* panelLayout = new QVBoxLayout(Panel1);
  panelLayout->addWidget(lbFileName);
  auto* times = new QHBoxLayout;
  times->addWidget(lbRate);
  times->addStretch();
  times->addWidget(lbElapsed);
  times->addWidget(lbSlash);
  times->addWidget(lbTotal);
  panelLayout->addLayout(times);

  tbPosition = Named(new QSlider(Qt::Horizontal, this), "tbPosition");
  tbPosition->setRange(0, 100);
  tbPosition->setEnabled(false);
  btPlay = Named(new QPushButton(QStringLiteral("Play"), this), "btPlay");
  btPlay->setToolTip(QStringLiteral("Press to open and play ogg file."));
  btPause = Named(new QPushButton(QStringLiteral("Pause"), this), "btPause");
  btStop = Named(new QPushButton(QStringLiteral("Stop"), this), "btStop");
  tbBalance = Named(new QSlider(Qt::Horizontal, this), "tbBalance");
  tbBalance->setRange(0, 10);
  tbBalance->setValue(5);
  btClose = Named(new QPushButton(QStringLiteral("Close"), this), "btClose");
  mmComments = Named(new QPlainTextEdit(this), "mmComments");
  mmComments->setReadOnly(true);
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(kTimerMs);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btPlay);
  buttons->addWidget(btPause);
  buttons->addWidget(btStop);
  buttons->addWidget(tbBalance);
  buttons->addWidget(btClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  layout->addWidget(tbPosition);
  layout->addLayout(buttons);
  layout->addWidget(mmComments);

  connect(btPlay, &QPushButton::clicked, this, &TfrmOggPlayer::PlayClicked);
  connect(btPause, &QPushButton::clicked, this, &TfrmOggPlayer::PauseClicked);
  connect(btStop, &QPushButton::clicked, this, &TfrmOggPlayer::StopClicked);
  connect(btClose, &QPushButton::clicked, this, &TfrmOggPlayer::CloseClicked);
  connect(Timer1, &QTimer::timeout, this, &TfrmOggPlayer::TimerTick);
  connect(tbBalance, &QSlider::valueChanged, this, [this](int value) { player_->SetBalance(value); });
  // Progress moves the bar too; only the user's moves seek, and a drag seeks once, when let go.
  connect(tbPosition, &QSlider::valueChanged, this, [this](int value) {
    if (!showingProgress_ && !tbPosition->isSliderDown()) PositionChosen(value);
  });
  connect(tbPosition, &QSlider::sliderReleased, this, [this] { PositionChosen(tbPosition->value()); });

  TDXAudioOut* output = player_->Output();
  output->SetOnProgress([this](TAuOutput* sender) {
    if (tbPosition->isSliderDown()) return;
    showingProgress_ = true;
    tbPosition->setValue(sender->Progress());
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
                                                        QStringLiteral("Sound file(*.ogg);; Any file(*)"));
  if (!fileName.isEmpty()) PlayFile(fileName);
}

void TfrmOggPlayer::PlayFile(const QString& fileName) {
  if (!player_->Open(fileName)) {
    ShowMessageBox(this, QStringLiteral("Ogg file is not valid."), QMessageBox::Warning);
    return;
  }
  btPlay->setEnabled(false);
  lbFileName->setText(player_->DisplayName());
  failure_.clear();
  // Read before playback starts: the output's thread then owns the file.
  const QString rate = player_->RateText();
  const QString comments = player_->CommentLines().join(QLatin1Char('\n'));
  try {
    player_->Play();
  } catch (const std::exception&) {
    btPlay->setEnabled(true);
    return;
  }
  Timer1->start();
  elapsedMs_ = 0;
  ShowElapsed();
  lbRate->setText(rate);
  lbTotal->setText(OggPlayer::MinutesSeconds(player_->TotalSeconds()));
  tbPosition->setEnabled(true);
  mmComments->setPlainText(comments);
}

void TfrmOggPlayer::TimerTick() {
  if (elapsedMs_ >= player_->TotalSeconds() * 1000) return;
  elapsedMs_ += kTimerMs;
  ShowElapsed();
}

void TfrmOggPlayer::ShowElapsed() { lbElapsed->setText(OggPlayer::MinutesSeconds(elapsedMs_ / 1000)); }

void TfrmOggPlayer::PositionChosen(int position) {
  if (player_->Idle()) return;
  elapsedMs_ = player_->JumpTo(position);
  ShowElapsed();
}

void TfrmOggPlayer::PauseClicked() {
  if (player_->Idle()) return;
  if (player_->TogglePause()) Timer1->start();
  else Timer1->stop();
}

void TfrmOggPlayer::StopClicked() {
  player_->Stop();
  Timer1->stop();
}

void TfrmOggPlayer::CloseClicked() {
  StopClicked();
  closing_ = true;
  if (player_->Idle()) QDialog::reject();
}

void TfrmOggPlayer::PlaybackDone() {
  btPlay->setEnabled(true);
  tbPosition->setEnabled(false);
  Timer1->stop();
  if (closing_) {
    QDialog::reject();
    return;
  }
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
