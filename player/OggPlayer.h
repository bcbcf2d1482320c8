#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "audio/dsp/StereoBalance.h"
#include "audio/codecs/VorbisIn.h"
#include "player/PortAudioOutput.h"

// OggPlayer: what the Ogg player window does, without the window. One Ogg Vorbis file at a
// time goes Vorbis input -> stereo balance -> sound output (latency 80 ms, prefetching), and
// the texts the window shows are made here. The output's progress, done and failure events
// reach the window through Output()'s handlers, on the main thread.
//
// Threads: main thread only (playback itself runs on the output's worker). Errors: Open()
// answers false for a file it will not play; nothing else raises.
namespace trackmill {

class OggPlayer : public QObject {
  Q_OBJECT
 public:
  explicit OggPlayer(QObject* parent = nullptr);
  ~OggPlayer() override;

  // Takes a file for the next Play(): only names ending in ".ogg" or ".oga" (any case)
  // holding Ogg Vorbis.
  bool Open(const QString& fileName);
  void Play();
  // Pauses a playing output, else resumes it. Answers whether it plays now.
  bool TogglePause();
  // Ends playback (resuming first when paused); the done event follows.
  void Stop();
  // Moves to position (0..100 percent of the file); answers the elapsed milliseconds there.
  qint64 JumpTo(int position);
  void SetBalance(int sliderPosition);  // 0..10, 5 = centre
  bool Idle() const { return output_->Status() == 2; }
  // Places where the last playback skipped damaged data (see TVorbisIn::DamagedSpots()).
  int DamagedSpots() const { return input_->DamagedSpots(); }

  // The file's name without folder and its four-character extension.
  QString DisplayName() const;
  QString RateText();
  qint64 TotalSeconds() const;
  QStringList CommentLines();
  // Whole minutes ":" two-digit seconds.
  static QString MinutesSeconds(qint64 seconds);

  PortAudioOutput* Output() const { return output_; }

 private:
  TVorbisIn* input_;
  qint64 totalSeconds_ = 0;  // of the file last opened
  TStereoBalance* balance_;
  PortAudioOutput* output_;
};

}  // namespace trackmill
