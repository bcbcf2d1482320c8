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

  void NewClick();
  void OpenClick();
  void SaveClick();
  void SaveAsClick();
  void UndoClick();
  void PlayClick();
  void StopClick();
  void NextClick();
  void PreviousClick();
  void RecordClick();
  void PlayTimerTick();
  void RecordTimerTick();
  void FinishRecordingStop();
  void SliderMoved(int value);

  bool CloseCurrentFile(bool asking);
  void StopPlayback();
  // After New, Open, Save As and Undo: the file is ready to play, record or save.
  void FileReady(bool playable);
  qint64 LengthMs();
  void ShowLength();
  void SetButtons(bool play, bool stop, bool next, bool previous, bool record);
  void UpdateMenu();

  Mp3Converter convertToMp3_;
  TRecorderFiles files_;
  std::unique_ptr<TSoundRecorder> recorder_;
  TWaveIn* waveIn_;
  PortAudioOutput* output_;
  QElapsedTimer recordClock_;
  int lastFraction_ = 0;
  qint64 playPositionMs_ = 0;
  bool recording_ = false;

  QToolButton* btStart;
  QAction* miNew;
  QAction* miOpen;
  QAction* miSave;
  QAction* miSaveAs;
  QAction* miUndo;
  QAction* miRecordingControl;
  QAction* miMp3Format;
  QAction* miExit;
  QToolButton* btPlay;
  QToolButton* btStop;
  QToolButton* btNext;
  QToolButton* btPrevious;
  QToolButton* btStep;
  QToolButton* btBack;
  QToolButton* btRecord;
  QLabel* lbState;
  QLabel* lbPosition;
  QLabel* lbLength;
  QLabel* pnTime;
  QSlider* TrackBar1;
  QTimer* PlayTimer;
  QTimer* RecordTimer;
  QTimer* StopTimer;
};

}  // namespace trackmill
