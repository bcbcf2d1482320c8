// The recorder window's transport: playing the file from the slider's position, recording
// into it, stopping either (a recording on its whole second), and the displays of position,
// length and recording time.
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "audio/wav/WaveIn.h"
#include "player/PortAudioOutput.h"
#include "player/SoundRecorder.h"
#include "settings/LangString.h"
#include "ui/RecordForm.h"

namespace trackmill {

qint64 TfrmRecord::LengthMs() {
  if (!files_.HasFile()) return 0;
  if (output_->Busy()) return playbackInput_->GetTotalFrames() * 1000 / std::max(1, playbackInput_->GetSampleRate());
  TWaveIn probe;
  probe.SetFileName(files_.DeviceFile());
  return probe.GetTotalFrames() * 1000 / std::max(1, probe.GetSampleRate());
}

void TfrmRecord::ShowLength() {
  const QString text = TRecorderFiles::TimeText(LengthMs());
  lengthLabel_->setText(text);
}

void TfrmRecord::SliderMoved(int value) {
  const qint64 length = LengthMs();
  if (files_.HasFile() && length > 0) positionLabel_->setText(TRecorderFiles::TimeText(length * value / kSliderEnd));
}

void TfrmRecord::StopPlayback() {
  playTimer_->stop();
  if (output_->Busy()) output_->Stop(false);
}

void TfrmRecord::StartPlaying() {
  if (positionSlider_->value() == kSliderEnd) positionSlider_->setValue(0);
  if (!playTimer_->isActive()) {
    playPositionMs_ = LengthMs() * positionSlider_->value() / kSliderEnd;
    StopPlayback();
    playbackInput_->SetFileName(files_.DeviceFile());
    if (playbackInput_->Valid()) {
      playbackInput_->Seek(playPositionMs_ * playbackInput_->GetSampleRate() / 1000);
      output_->Run();
    }
  }
  stateLabel_->setText(QStringLiteral("Playing..."));
  SetButtons(false, true, true, true, false);
  playTimer_->start();
}

void TfrmRecord::PlayTimerTick() {
  playPositionMs_ += kPlayTickMs;
  const qint64 length = LengthMs();
  if (playPositionMs_ < length) {
    positionSlider_->setValue(int(playPositionMs_ * kSliderEnd / length));
    return;
  }
  positionSlider_->setValue(kSliderEnd);
  playTimer_->stop();
  SetButtons(true, false, false, true, true);
  stateLabel_->setText(IdleText());
}

void TfrmRecord::StopPlayingOrRecording() {
  positionSlider_->setValue(0);
  StopPlayback();
  if (!recording_) {
    SetButtons(true, false, true, true, true);
    stateLabel_->setText(IdleText());
    return;
  }
  const int wait = lastFraction_ > 100 ? 1000 - lastFraction_ : 0;
  SetButtons(false, false, false, false, false);
  if (wait > 0)
    stopTimer_->start(wait);
  else
    FinishRecordingStop();
}

void TfrmRecord::FinishRecordingStop() {
  RecordTimerTick();
  recordTimer_->stop();
  recorder_->Stop();
  recording_ = false;
  SetButtons(true, false, true, true, true);
  positionSlider_->setValue(kSliderEnd);
  ShowLength();
  stateLabel_->setText(QStringLiteral("Record over!"));
  if (!recorder_->Error().isEmpty()) Error(LangString("RES_Save_Error") + "\n" + recorder_->Error());
}

void TfrmRecord::JumpToEnd() {
  StopPlayback();
  positionSlider_->setValue(kSliderEnd);
  SetButtons(true, false, false, true, true);
  stateLabel_->setText(IdleText());
}

void TfrmRecord::JumpToStart() {
  StopPlayback();
  positionSlider_->setValue(0);
  SetButtons(true, false, true, false, true);
  stateLabel_->setText(IdleText());
}

void TfrmRecord::StartRecording() {
  StopPlayback();
  const qint64 startMs = LengthMs() * positionSlider_->value() / kSliderEnd;
  if (const QString error = recorder_->Start(files_.DeviceFile(), startMs); !error.isEmpty()) {
    Error(LangString("RES_MCI_Init_Fail") + "\n" + error);
    return;
  }
  recordClock_.start();
  lastFraction_ = 0;
  recording_ = true;
  recordTimer_->start();
  SetButtons(false, true, false, false, false);
  stateLabel_->setText(LangString("RES_RecordingStr"));
  files_.SetModified();
}

void TfrmRecord::RecordTimerTick() {
  const qint64 ms = recordClock_.elapsed();
  lastFraction_ = int(ms % 1000);
  recordTimeLabel_->setText(QStringLiteral("%1:%2:%3.%4")
                      .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                      .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                      .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                      .arg(lastFraction_ / 100));
}

}  // namespace trackmill
