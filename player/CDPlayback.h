#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "cd/Drive.h"
#include "player/CDSectorIn.h"
#include "player/PortAudioOutput.h"

// TCDPlayback: digital playback of one track of a disc, read through the drive layer and
// played through the sound output, from the track's start to where its audio ends (the next
// track, the session gap before a data track, or the lead-out). What the main window's Play,
// Pause and Stop and `trackmill play --track` drive.
//
// Threads: main thread only (the reading and playing run on the output's worker).
// Errors: Play() answers a text when the track cannot be played (empty on success); a
// failure during playback arrives through Finished().
namespace trackmill {

class TCDPlayback : public QObject {
  Q_OBJECT
 public:
  explicit TCDPlayback(QObject* parent = nullptr);
  ~TCDPlayback() override;

  // Stops what plays, then plays track trackNumber (as the disc numbers it) of the drive's
  // disc; the playback holds a share of the drive.
  QString Play(std::shared_ptr<CdDrive> drive, int trackNumber);
  void Pause();
  void Resume();
  // Ends playback at once; Finished() does not follow.
  void Stop();
  bool IsPlaying() const { return playing_; }
  bool IsPaused() const { return paused_; }
  // Seconds played of the track so far, and its length.
  qint64 PlayedSeconds() const;
  qint64 TrackSeconds() { return input_->GetTotalSeconds(); }
  PortAudioOutput* Output() const { return output_; }

 signals:
  // The track played to its end (error empty) or playback failed.
  void Finished(const QString& error);

 private:
  void Done();

  TCDSectorIn* input_;
  PortAudioOutput* output_;
  bool playing_ = false;
  bool paused_ = false;
  QString error_;
};

}  // namespace trackmill
