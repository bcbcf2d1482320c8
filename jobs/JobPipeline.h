#pragma once
#include <QString>
#include <memory>

#include "common/ProcessInfo.h"

// The steps of a job that run through the audio pipeline instead of an external encoder:
// resampling a WAV below 44100 Hz to 44100 Hz into a temporary file of the output folder
// ("VoVE3ReTemp.wav" before an MP3 encode, "MyReTemp.wav" before an Ogg Vorbis encode), and
// the Ogg Vorbis encode with the Ogg settings and, for CD tracks, Vorbis comments from the
// disc fields.
//
// Part of TJobRunner (it reaches into the runner's counters and view state); main thread
// only. The outputs' events arrive on the main thread; progress is posted to the runner, the
// end of an Ogg encode is posted, the end of a resampling is sent and waited for.
namespace trackmill {

class TJobRunner;
class TWaveIn;
class TFastResampler;
class TWaveOut;
class TVorbisOut;
class TAuOutput;

class TJobPipeline {
 public:
  explicit TJobPipeline(TJobRunner& runner);
  ~TJobPipeline();

  // Kinds 2 and 5: the first step of an item (resampling, MP3 encode or Ogg encode).
  void StartFileItem(int item);
  void StartOggEncode(const QString& wav, const QString& ogg, int item);
  // Goes on after a pause (a timer), so the finished output file is fully released.
  void HandleOggEnded(const TProcessInfo& info);
  void HandleResampleEnded();
  // Stops a running resampling or Ogg encode at once; no end report follows.
  void StopRunning();
  // Kinds 2 and 5: deletes the temporary file.
  void RemoveTemporaryFile();
  // Compression of the Ogg output from the settings (quality mode).
  static float OggQuality();

 private:
  QString TemporaryFile() const;
  void ContinueAfterOgg(qint32 errorCode);
  void StartResampling(int item);
  void ApplyOggSettings(int item);
  void PostOutputProgress(TAuOutput* output);

  TJobRunner& runner_;
  std::unique_ptr<TWaveIn> waveIn1_;
  std::unique_ptr<TFastResampler> fastResampler1_;
  std::unique_ptr<TWaveOut> waveOut1_;
  std::unique_ptr<TVorbisOut> vorbisOut1_;
  ProgressClock stepStart_;
};

}  // namespace trackmill
