#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "recorder/RecorderFiles.h"

class QAction;
class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace trackmill {

class PortAudioOutput;
class TSoundRecorder;
class TWaveIn;

// The recorder window: records from the default sound input into a WAV file, plays it back
// through the sound output, and keeps, discards or converts what was recorded (the file side
// is TRecorderFiles; this window adds the buttons, the timers and the displays). Stopping a
// recording waits on a timer until the recording ends on a whole second; nothing blocks the
// window's thread, and closing the current file meanwhile waits for that stop.
// convertToMp3 runs the MP3 job on a saved file (none: no conversion). Main thread only.
class TfrmRecord : public QDialog, private TRecorderPrompts {
  Q_OBJECT
 public:
  using Mp3Converter = std::function<void(const QString& wavFile)>;
  explicit TfrmRecord(QWidget* parent = nullptr, Mp3Converter convertToMp3 = {});
  ~TfrmRecord() override;

  TRecorderFiles& Files() { return files_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  // TRecorderPrompts.
  void Information(const QString& text) override;
  void Warning(const QString& text) override;
  void Error(const QString& text) override;
  bool AskYesNo(const QString& text) override;
  Answer AskYesNoCancel(const QString& text) override;
  QString SaveFileName() override;
  void ConvertToMp3(const QString& wavFile) override;

  // The file and the window (RecordForm.cpp).
  void NewFile();
  void OpenFile();
  void SaveFile();
  void SaveFileAs();
  void UndoRecording();
  bool CloseCurrentFile(bool asking);
  // After New, Open, Save As and Undo: the file is ready to play, record or save.
  void FileReady(bool playable);
  void SetButtons(bool play, bool stop, bool next, bool previous, bool record);
  void UpdateMenu();

  // Playing, recording and their displays (RecordFormTransport.cpp).
  void StartPlaying();
  void StopPlayingOrRecording();
  void JumpToEnd();
  void JumpToStart();
  void StartRecording();
  void PlayTimerTick();
  void RecordTimerTick();
  void FinishRecordingStop();
  void SliderMoved(int value);
  void StopPlayback();
  qint64 LengthMs();
  void ShowLength();

  static constexpr int kSliderEnd = 400;  // the slider's range is 0..kSliderEnd of the length
  static constexpr int kPlayTickMs = 500;
  static constexpr int kRecordTickMs = 100;
  static QString IdleText() { return QStringLiteral("-----------"); }

  Mp3Converter convertToMp3_;
  TRecorderFiles files_;
  std::unique_ptr<TSoundRecorder> recorder_;
  TWaveIn* playbackInput_;
  PortAudioOutput* output_;
  QElapsedTimer recordClock_;
  int lastFraction_ = 0;
  qint64 playPositionMs_ = 0;
  bool recording_ = false;

  QToolButton* startButton_;
  QAction* newAction_;
  QAction* openAction_;
  QAction* saveAction_;
  QAction* saveAsAction_;
  QAction* undoAction_;
  QAction* recordingControlAction_;
  QAction* mp3FormatAction_;
  QAction* exitAction_;
  QToolButton* playButton_;
  QToolButton* stopButton_;
  QToolButton* nextButton_;
  QToolButton* previousButton_;
  QToolButton* stepButton_;
  QToolButton* backButton_;
  QToolButton* recordButton_;
  QLabel* stateLabel_;
  QLabel* positionLabel_;
  QLabel* lengthLabel_;
  QLabel* recordTimeLabel_;
  QSlider* positionSlider_;
  QTimer* playTimer_;
  QTimer* recordTimer_;
  QTimer* stopTimer_;
};

}  // namespace trackmill
