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
#include "player/PortAudioOutput.h"
#include "player/SoundRecorder.h"
#include "settings/LangString.h"
#include "settings/Settings.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"
#include "ui/NewRecordFileForm.h"

namespace trackmill {

namespace {

const QString kSoundFilter = QStringLiteral("Sound file (*.wav);;All files (*)");

}  // namespace

TfrmRecord::TfrmRecord(QWidget* parent, Mp3Converter convertToMp3)
    : QDialog(parent), convertToMp3_(std::move(convertToMp3)), files_(*this),
      recorder_(std::make_unique<TSoundRecorder>()), playbackInput_(new TWaveIn(this)),
      output_(new PortAudioOutput(this)) {
  setObjectName(QStringLiteral("frmRecord"));
  setWindowTitle(QStringLiteral("Record"));
  output_->SetInput(playbackInput_);

  startButton_ = Named(new QToolButton(this), "btStart");
  startButton_->setText(QStringLiteral("Start"));
  startButton_->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(startButton_);
  auto item = [&](const char* name, const QString& text, void (TfrmRecord::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    if (handler) connect(action, &QAction::triggered, this, handler);
    return action;
  };
  newAction_ = item("miNew", "&New...", &TfrmRecord::NewFile);
  openAction_ = item("miOpen", "&Open...", &TfrmRecord::OpenFile);
  saveAction_ = item("miSave", "&Save", &TfrmRecord::SaveFile);
  saveAsAction_ = item("miSaveAs", "Save &As...", &TfrmRecord::SaveFileAs);
  undoAction_ = item("miUndo", "&Undo", &TfrmRecord::UndoRecording);
  menu->addSeparator();
  recordingControlAction_ = item("miRecordingControl", "&Recording Control...", nullptr);
  connect(recordingControlAction_, &QAction::triggered, this, [this] {
    QString error;
    if (!StartMixer(true, error)) Information(error);
  });
  menu->addSeparator();
  mp3FormatAction_ = item("miMp3Format", "&MP3 format", nullptr);
  mp3FormatAction_->setCheckable(true);
  mp3FormatAction_->setChecked(Settings().SaveMp3);
  files_.SaveMp3 = Settings().SaveMp3;
  connect(mp3FormatAction_, &QAction::toggled, this, [this](bool on) { files_.SaveMp3 = on; });
  menu->addSeparator();
  exitAction_ = item("miExit", "&Exit", nullptr);
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  connect(menu, &QMenu::aboutToShow, this, &TfrmRecord::UpdateMenu);
  startButton_->setMenu(menu);

  auto button = [&](const char* name, const QString& text, QStyle::StandardPixmap icon) {
    auto* b = Named(new QToolButton(this), name);
    b->setText(text);
    b->setToolTip(text);
    b->setIcon(style()->standardIcon(icon));
    b->setEnabled(false);
    return b;
  };
  playButton_ = button("btPlay", "Play", QStyle::SP_MediaPlay);
  stopButton_ = button("btStop", "Stop", QStyle::SP_MediaStop);
  nextButton_ = button("btNext", "Next", QStyle::SP_MediaSkipForward);
  previousButton_ = button("btPrevious", "Previous", QStyle::SP_MediaSkipBackward);
  stepButton_ = button("btStep", "Step", QStyle::SP_MediaSeekForward);
  backButton_ = button("btBack", "Back", QStyle::SP_MediaSeekBackward);
  recordButton_ = button("btRecord", "Record", QStyle::SP_DialogYesButton);
  connect(playButton_, &QToolButton::clicked, this, &TfrmRecord::StartPlaying);
  connect(stopButton_, &QToolButton::clicked, this, &TfrmRecord::StopPlayingOrRecording);
  connect(nextButton_, &QToolButton::clicked, this, &TfrmRecord::JumpToEnd);
  connect(previousButton_, &QToolButton::clicked, this, &TfrmRecord::JumpToStart);
  connect(recordButton_, &QToolButton::clicked, this, &TfrmRecord::StartRecording);

  stateLabel_ = Named(new QLabel(IdleText(), this), "lbState");
  auto* positionCaption = Named(new QLabel(QStringLiteral("Position:"), this), "Label1");
  positionLabel_ = Named(new QLabel(QStringLiteral("0.00 Sec"), this), "lbPosition");
  auto* lengthCaption = Named(new QLabel(QStringLiteral("Length:"), this), "Label2");
  lengthLabel_ = Named(new QLabel(QStringLiteral("0.00 Sec"), this), "lbLength");
  recordTimeLabel_ = Named(new QLabel(QStringLiteral("00:00:00.0"), this), "pnTime");
  recordTimeLabel_->setFrameShape(QFrame::Panel);
  recordTimeLabel_->setFrameShadow(QFrame::Sunken);
  recordTimeLabel_->setAlignment(Qt::AlignCenter);
  QFont big = recordTimeLabel_->font();
  big.setPointSize(big.pointSize() * 2);
  recordTimeLabel_->setFont(big);
  positionSlider_ = Named(new QSlider(Qt::Horizontal, this), "TrackBar1");
  positionSlider_->setRange(0, kSliderEnd);
  positionSlider_->setTickInterval(40);
  positionSlider_->setTickPosition(QSlider::TicksBelow);
  connect(positionSlider_, &QSlider::valueChanged, this, &TfrmRecord::SliderMoved);

  playTimer_ = Named(new QTimer(this), "PlayTimer");
  playTimer_->setInterval(kPlayTickMs);
  connect(playTimer_, &QTimer::timeout, this, &TfrmRecord::PlayTimerTick);
  recordTimer_ = Named(new QTimer(this), "RecordTimer");
  recordTimer_->setInterval(kRecordTickMs);
  connect(recordTimer_, &QTimer::timeout, this, &TfrmRecord::RecordTimerTick);
  stopTimer_ = Named(new QTimer(this), "StopTimer");
  stopTimer_->setSingleShot(true);
  connect(stopTimer_, &QTimer::timeout, this, &TfrmRecord::FinishRecordingStop);
  // A recording that ends by itself (the input failed) is stopped like the Stop button does.
  connect(recorder_.get(), &TSoundRecorder::Finished, this,
          [this] {
            if (recording_ && !stopTimer_->isActive()) StopPlayingOrRecording();
          },
          Qt::QueuedConnection);

  auto* top = new QHBoxLayout;
  top->addWidget(startButton_);
  top->addStretch();
  top->addWidget(stateLabel_);
  auto* labels = new QHBoxLayout;
  labels->addWidget(positionCaption);
  labels->addWidget(positionLabel_);
  labels->addStretch();
  labels->addWidget(lengthCaption);
  labels->addWidget(lengthLabel_);
  auto* buttons = new QHBoxLayout;
  for (QToolButton* b : {playButton_, stopButton_, nextButton_, previousButton_, stepButton_, backButton_, recordButton_}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(recordTimeLabel_);
  layout->addLayout(labels);
  layout->addWidget(positionSlider_);
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
  playButton_->setEnabled(play);
  stopButton_->setEnabled(stop);
  nextButton_->setEnabled(next);
  previousButton_->setEnabled(previous);
  recordButton_->setEnabled(record);
}

void TfrmRecord::UpdateMenu() {
  saveAction_->setEnabled(recordButton_->isEnabled());
  saveAsAction_->setEnabled(recordButton_->isEnabled());
  undoAction_->setEnabled(files_.CanUndo(recording_));
}

void TfrmRecord::FileReady(bool playable) {
  SetButtons(playable, false, playable, false, true);
  ShowLength();
  setWindowTitle(files_.Caption());
}

bool TfrmRecord::CloseCurrentFile(bool asking) {
  if (!files_.HasFile()) return true;
  if (stopButton_->isEnabled()) StopPlayingOrRecording();
  if (stopTimer_->isActive()) {
    // A recording is ending on its whole second: the file is complete only after that.
    QEventLoop wait;
    connect(stopTimer_, &QTimer::timeout, &wait, &QEventLoop::quit, Qt::QueuedConnection);
    wait.exec();
  }
  StopPlayback();
  return files_.CloseCurrent(asking);
}

void TfrmRecord::NewFile() {
  if (!CloseCurrentFile(true)) return;
  TfrmNewRecordFile format(this);
  if (format.exec() != QDialog::Accepted) return;
  StopPlayback();
  if (!files_.New(format.SampleRate(), format.Bits(), format.Channels())) return;
  SetButtons(false, false, false, false, true);
  recordTimeLabel_->setText(QStringLiteral("00:00:00.0"));
  positionLabel_->setText(QStringLiteral("0.00 Sec"));
  lengthLabel_->setText(QStringLiteral("0.00 Sec"));
  setWindowTitle(files_.Caption());
  positionSlider_->setValue(0);
}

void TfrmRecord::OpenFile() {
  if (!CloseCurrentFile(true)) return;
  for (;;) {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Please select a sound file to open"),
                                                      DataFolder(), kSoundFilter);
    if (path.isEmpty() || QFileInfo(path).absoluteFilePath() == files_.CurrentFile()) return;
    if (!QFileInfo(path).isFile()) {
      Warning(path + "\n" + LangStringOrEnglish("RES_File_Not_Found") + "\n" + LangString("RES_Check_FileName"));
      continue;
    }
    if (!files_.Open(path)) return;
    FileReady(true);
    positionSlider_->setValue(0);
    return;
  }
}

void TfrmRecord::SaveFile() {
  if (CloseCurrentFile(false)) FileReady(true);
}

void TfrmRecord::SaveFileAs() {
  if (!files_.HasFile()) return;
  if (stopButton_->isEnabled()) StopPlayingOrRecording();
  StopPlayback();
  if (files_.SaveAs()) FileReady(true);
}

void TfrmRecord::UndoRecording() {
  StopPlayback();
  if (!files_.Undo()) return;
  FileReady(true);
  positionLabel_->setText(lengthLabel_->text());
}

void TfrmRecord::closeEvent(QCloseEvent* event) {
  Settings().SaveMp3 = mp3FormatAction_->isChecked();
  playTimer_->stop();
  CloseCurrentFile(true);
  StopPlayback();
  files_.Finish();
  event->accept();
}

void TfrmRecord::reject() { close(); }

}  // namespace trackmill
