#include "ui/RecordForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shell/VolumeControl.h"
#include "audio/wav/WaveIn.h"
#include "common/DataFolder.h"
#include "player/DXAudioOut.h"
#include "player/SoundRecorder.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"
#include "ui/NewRecordFileForm.h"

namespace trackmill {

namespace {

constexpr int kSliderEnd = 400;
constexpr int kPlayTickMs = 500;
constexpr int kRecordTickMs = 100;
const QString kIdleText = QStringLiteral("-----------");
const QString kSoundFilter = QStringLiteral("Sound file (*.wav);;All files (*)");

}  // namespace

TfrmRecord::TfrmRecord(QWidget* parent, Mp3Converter convertToMp3)
    : QDialog(parent), convertToMp3_(std::move(convertToMp3)), files_(*this),
      recorder_(std::make_unique<TSoundRecorder>()), waveIn_(new TWaveIn(this)), output_(new TDXAudioOut(this)) {
  setObjectName(QStringLiteral("frmRecord"));
  setWindowTitle(QStringLiteral("Record"));
  output_->SetInput(waveIn_);

  btStart = Named(new QToolButton(this), "btStart");
  btStart->setText(QStringLiteral("Start"));
  btStart->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(btStart);
  auto item = [&](const char* name, const QString& text, void (TfrmRecord::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    if (handler) connect(action, &QAction::triggered, this, handler);
    return action;
  };
  miNew = item("miNew", "&New...", &TfrmRecord::NewClick);
  miOpen = item("miOpen", "&Open...", &TfrmRecord::OpenClick);
  miSave = item("miSave", "&Save", &TfrmRecord::SaveClick);
  miSaveAs = item("miSaveAs", "Save &As...", &TfrmRecord::SaveAsClick);
  miUndo = item("miUndo", "&Undo", &TfrmRecord::UndoClick);
  menu->addSeparator();
  miRecordingControl = item("miRecordingControl", "&Recording Control...", nullptr);
  connect(miRecordingControl, &QAction::triggered, this, [this] {
    QString error;
    if (!StartMixer(true, error)) Information(error);
  });
  menu->addSeparator();
  miMp3Format = item("miMp3Format", "&MP3 format", nullptr);
  miMp3Format->setCheckable(true);
  miMp3Format->setChecked(Settings().SaveMp3);
  files_.SaveMp3 = Settings().SaveMp3;
  connect(miMp3Format, &QAction::toggled, this, [this](bool on) { files_.SaveMp3 = on; });
  menu->addSeparator();
  miExit = item("miExit", "&Exit", nullptr);
  connect(miExit, &QAction::triggered, this, &QWidget::close);
  connect(menu, &QMenu::aboutToShow, this, &TfrmRecord::UpdateMenu);
  btStart->setMenu(menu);

  auto button = [&](const char* name, const QString& text, QStyle::StandardPixmap icon) {
    auto* b = Named(new QToolButton(this), name);
    b->setText(text);
    b->setToolTip(text);
    b->setIcon(style()->standardIcon(icon));
    b->setEnabled(false);
    return b;
  };
  btPlay = button("btPlay", "Play", QStyle::SP_MediaPlay);
  btStop = button("btStop", "Stop", QStyle::SP_MediaStop);
  btNext = button("btNext", "Next", QStyle::SP_MediaSkipForward);
  btPrevious = button("btPrevious", "Previous", QStyle::SP_MediaSkipBackward);
  btStep = button("btStep", "Step", QStyle::SP_MediaSeekForward);
  btBack = button("btBack", "Back", QStyle::SP_MediaSeekBackward);
  btRecord = button("btRecord", "Record", QStyle::SP_DialogYesButton);
  connect(btPlay, &QToolButton::clicked, this, &TfrmRecord::PlayClick);
  connect(btStop, &QToolButton::clicked, this, &TfrmRecord::StopClick);
  connect(btNext, &QToolButton::clicked, this, &TfrmRecord::NextClick);
  connect(btPrevious, &QToolButton::clicked, this, &TfrmRecord::PreviousClick);
  connect(btRecord, &QToolButton::clicked, this, &TfrmRecord::RecordClick);

  lbState = Named(new QLabel(kIdleText, this), "lbState");
  auto* positionCaption = Named(new QLabel(QStringLiteral("Position:"), this), "Label1");
  lbPosition = Named(new QLabel(QStringLiteral("0.00 Sec"), this), "lbPosition");
  auto* lengthCaption = Named(new QLabel(QStringLiteral("Length:"), this), "Label2");
  lbLength = Named(new QLabel(QStringLiteral("0.00 Sec"), this), "lbLength");
  pnTime = Named(new QLabel(QStringLiteral("00:00:00.0"), this), "pnTime");
  pnTime->setFrameShape(QFrame::Panel);
  pnTime->setFrameShadow(QFrame::Sunken);
  pnTime->setAlignment(Qt::AlignCenter);
  QFont big = pnTime->font();
  big.setPointSize(big.pointSize() * 2);
  pnTime->setFont(big);
  TrackBar1 = Named(new QSlider(Qt::Horizontal, this), "TrackBar1");
  TrackBar1->setRange(0, kSliderEnd);
  TrackBar1->setTickInterval(40);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  connect(TrackBar1, &QSlider::valueChanged, this, &TfrmRecord::SliderMoved);

  PlayTimer = Named(new QTimer(this), "PlayTimer");
  PlayTimer->setInterval(kPlayTickMs);
  connect(PlayTimer, &QTimer::timeout, this, &TfrmRecord::PlayTimerTick);
  RecordTimer = Named(new QTimer(this), "RecordTimer");
  RecordTimer->setInterval(kRecordTickMs);
  connect(RecordTimer, &QTimer::timeout, this, &TfrmRecord::RecordTimerTick);
  StopTimer = Named(new QTimer(this), "StopTimer");
  StopTimer->setSingleShot(true);
  connect(StopTimer, &QTimer::timeout, this, &TfrmRecord::FinishRecordingStop);
  // A recording that ends by itself (the input failed) is stopped like the Stop button does.
  connect(recorder_.get(), &TSoundRecorder::Finished, this,
          [this] {
            if (recording_ && !StopTimer->isActive()) StopClick();
          },
          Qt::QueuedConnection);

  auto* top = new QHBoxLayout;
  top->addWidget(btStart);
  top->addStretch();
  top->addWidget(lbState);
  auto* labels = new QHBoxLayout;
  labels->addWidget(positionCaption);
  labels->addWidget(lbPosition);
  labels->addStretch();
  labels->addWidget(lengthCaption);
  labels->addWidget(lbLength);
  auto* buttons = new QHBoxLayout;
  for (QToolButton* b : {btPlay, btStop, btNext, btPrevious, btStep, btBack, btRecord}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(pnTime);
  layout->addLayout(labels);
  layout->addWidget(TrackBar1);
  layout->addLayout(buttons);
  TranslateWhenFirstShown(this);
}

TfrmRecord::~TfrmRecord() {
  // The output reads the input, and the handlers touch the widgets: it stops first.
  delete output_;
}

void TfrmRecord::Information(const QString& text) { ShowMessageBox(this, text, QMessageBox::Information); }
void TfrmRecord::Warning(const QString& text) { ShowMessageBox(this, text, QMessageBox::Warning); }
void TfrmRecord::Error(const QString& text) { ShowMessageBox(this, text, QMessageBox::Critical); }

bool TfrmRecord::AskYesNo(const QString& text) {
  return ShowMessageBox(this, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TRecorderPrompts::Answer TfrmRecord::AskYesNoCancel(const QString& text) {
  switch (ShowMessageBox(this, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

QString TfrmRecord::SaveFileName() {
  QFileDialog dialog(this, QString(), DataFolder(), kSoundFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("wav"));
  // The recorder asks about an existing file itself.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void TfrmRecord::ConvertToMp3(const QString& wavFile) {
  if (convertToMp3_) convertToMp3_(wavFile);
}

void TfrmRecord::SetButtons(bool play, bool stop, bool next, bool previous, bool record) {
  btPlay->setEnabled(play);
  btStop->setEnabled(stop);
  btNext->setEnabled(next);
  btPrevious->setEnabled(previous);
  btRecord->setEnabled(record);
}

void TfrmRecord::UpdateMenu() {
  miSave->setEnabled(btRecord->isEnabled());
  miSaveAs->setEnabled(btRecord->isEnabled());
  miUndo->setEnabled(files_.CanUndo(recording_));
}

qint64 TfrmRecord::LengthMs() {
  if (!files_.HasFile()) return 0;
  if (output_->Busy()) return waveIn_->GetTotalFrames() * 1000 / std::max(1, waveIn_->GetSampleRate());
  TWaveIn probe;
  probe.SetFileName(files_.DeviceFile());
  return probe.GetTotalFrames() * 1000 / std::max(1, probe.GetSampleRate());
}

void TfrmRecord::ShowLength() {
  const QString text = TRecorderFiles::TimeText(LengthMs());
  lbLength->setText(text);
}

void TfrmRecord::SliderMoved(int value) {
  const qint64 length = LengthMs();
  if (files_.HasFile() && length > 0) lbPosition->setText(TRecorderFiles::TimeText(length * value / kSliderEnd));
}

void TfrmRecord::FileReady(bool playable) {
  SetButtons(playable, false, playable, false, true);
  ShowLength();
  setWindowTitle(files_.Caption());
}

void TfrmRecord::StopPlayback() {
  PlayTimer->stop();
  if (output_->Busy()) output_->Stop(false);
}

bool TfrmRecord::CloseCurrentFile(bool asking) {
  if (!files_.HasFile()) return true;
  if (btStop->isEnabled()) StopClick();
  if (StopTimer->isActive()) {
    // A recording is ending on its whole second: the file is complete only after that.
    QEventLoop wait;
    connect(StopTimer, &QTimer::timeout, &wait, &QEventLoop::quit, Qt::QueuedConnection);
    wait.exec();
  }
  StopPlayback();
  return files_.CloseCurrent(asking);
}

void TfrmRecord::NewClick() {
  if (!CloseCurrentFile(true)) return;
  TfrmNewRecordFile format(this);
  if (format.exec() != QDialog::Accepted) return;
  StopPlayback();
  if (!files_.New(format.SampleRate(), format.Bits(), format.Channels())) return;
  SetButtons(false, false, false, false, true);
  pnTime->setText(QStringLiteral("00:00:00.0"));
  lbPosition->setText(QStringLiteral("0.00 Sec"));
  lbLength->setText(QStringLiteral("0.00 Sec"));
  setWindowTitle(files_.Caption());
  TrackBar1->setValue(0);
}

void TfrmRecord::OpenClick() {
  if (!CloseCurrentFile(true)) return;
  for (;;) {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Please select a sound file to open"),
                                                      DataFolder(), kSoundFilter);
    if (path.isEmpty() || QFileInfo(path).absoluteFilePath() == files_.CurrentFile()) return;
    if (!QFileInfo(path).isFile()) {
      Warning(path + "\n" + QStringLiteral("Could not be found!") + "\n" + LangString("RES_Check_FileName"));
      continue;
    }
    if (!files_.Open(path)) return;
    FileReady(true);
    TrackBar1->setValue(0);
    return;
  }
}

void TfrmRecord::SaveClick() {
  if (CloseCurrentFile(false)) FileReady(true);
}

void TfrmRecord::SaveAsClick() {
  if (!files_.HasFile()) return;
  if (btStop->isEnabled()) StopClick();
  StopPlayback();
  if (files_.SaveAs()) FileReady(true);
}

void TfrmRecord::UndoClick() {
  StopPlayback();
  if (!files_.Undo()) return;
  FileReady(true);
  lbPosition->setText(lbLength->text());
}

void TfrmRecord::PlayClick() {
  if (TrackBar1->value() == kSliderEnd) TrackBar1->setValue(0);
  if (!PlayTimer->isActive()) {
    playPositionMs_ = LengthMs() * TrackBar1->value() / kSliderEnd;
    StopPlayback();
    waveIn_->SetFileName(files_.DeviceFile());
    if (waveIn_->Valid()) {
      waveIn_->Seek(playPositionMs_ * waveIn_->GetSampleRate() / 1000);
      output_->Run();
    }
  }
  lbState->setText(QStringLiteral("Playing..."));
  SetButtons(false, true, true, true, false);
  PlayTimer->start();
}

void TfrmRecord::PlayTimerTick() {
  playPositionMs_ += kPlayTickMs;
  const qint64 length = LengthMs();
  if (playPositionMs_ < length) {
    TrackBar1->setValue(int(playPositionMs_ * kSliderEnd / length));
    return;
  }
  TrackBar1->setValue(kSliderEnd);
  PlayTimer->stop();
  SetButtons(true, false, false, true, true);
  lbState->setText(kIdleText);
}

void TfrmRecord::StopClick() {
  TrackBar1->setValue(0);
  StopPlayback();
  if (!recording_) {
    SetButtons(true, false, true, true, true);
    lbState->setText(kIdleText);
    return;
  }
  const int wait = lastFraction_ > 100 ? 1000 - lastFraction_ : 0;
  SetButtons(false, false, false, false, false);
  if (wait > 0)
    StopTimer->start(wait);
  else
    FinishRecordingStop();
}

void TfrmRecord::FinishRecordingStop() {
  RecordTimerTick();
  RecordTimer->stop();
  recorder_->Stop();
  recording_ = false;
  SetButtons(true, false, true, true, true);
  TrackBar1->setValue(kSliderEnd);
  ShowLength();
  lbState->setText(QStringLiteral("Record over!"));
  if (!recorder_->Error().isEmpty()) Error(LangString("RES_Save_Error") + "\n" + recorder_->Error());
}

void TfrmRecord::NextClick() {
  StopPlayback();
  TrackBar1->setValue(kSliderEnd);
  SetButtons(true, false, false, true, true);
  lbState->setText(kIdleText);
}

void TfrmRecord::PreviousClick() {
  StopPlayback();
  TrackBar1->setValue(0);
  SetButtons(true, false, true, false, true);
  lbState->setText(kIdleText);
}

void TfrmRecord::RecordClick() {
  StopPlayback();
  const qint64 startMs = LengthMs() * TrackBar1->value() / kSliderEnd;
  if (const QString error = recorder_->Start(files_.DeviceFile(), startMs); !error.isEmpty()) {
    Error(LangString("RES_MCI_Init_Fail") + "\n" + error);
    return;
  }
  recordClock_.start();
  lastFraction_ = 0;
  recording_ = true;
  RecordTimer->start();
  SetButtons(false, true, false, false, false);
  lbState->setText(LangString("RES_RecordingStr"));
  files_.SetModified();
}

void TfrmRecord::RecordTimerTick() {
  const qint64 ms = recordClock_.elapsed();
  lastFraction_ = int(ms % 1000);
  pnTime->setText(QStringLiteral("%1:%2:%3.%4")
                      .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                      .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                      .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                      .arg(lastFraction_ / 100));
}

void TfrmRecord::closeEvent(QCloseEvent* event) {
  Settings().SaveMp3 = miMp3Format->isChecked();
  PlayTimer->stop();
  CloseCurrentFile(true);
  StopPlayback();
  files_.Finish();
  event->accept();
}

void TfrmRecord::reject() { close(); }

}  // namespace trackmill
