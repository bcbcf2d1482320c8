#pragma once
#include <QString>
#include <memory>

#include "audio/codecs/FlacOut.h"
#include "common/ProcessInfo.h"
#include "settings/Settings.h"

// The steps of a job that run through the audio pipeline instead of an external encoder:
// resampling a WAV below 44100 Hz to 44100 Hz into a temporary file of the output folder
// ("VoVE3ReTemp.wav" before an MP3 encode, "MyReTemp.wav" before an Ogg Vorbis encode), and
// the Ogg Vorbis and FLAC encodes with their settings and, for CD tracks, Vorbis comments
// from the disc fields.
//
// Part of TJobRunner (it reaches into the runner's counters and view state); main thread
// only. The outputs' events arrive on the main thread; progress is posted to the runner, the
// end of an Ogg or FLAC encode is posted, the end of a resampling is sent and waited for.
namespace trackmill {

class TJobRunner;
class TWaveIn;
class TFastResampler;
class TWaveOut;
class TVorbisOut;
class TFlacOut;
class TAuOutput;
class TVorbisTags;

class TJobPipeline {
 public:
  explicit TJobPipeline(TJobRunner& runner);
  ~TJobPipeline();

  // Kinds 2, 5 and 7: the first step of an item (resampling, MP3, Ogg or FLAC encode).
  void StartFileItem(int item);
  void StartOggEncode(const QString& wav, const QString& ogg, int item);
  void StartFlacEncode(const QString& wav, const QString& flac, int item);
  // The end of an Ogg (kOggEnded) or FLAC (kFlacEnded) encode; goes on after a pause (a
  // timer), so the finished output file is fully released.
  void HandleEncodeEnded(const TProcessInfo& info);
  void HandleResampleEnded();
  // Stops a running resampling or Ogg encode at once; no end report follows.
  void StopRunning();
  // Kinds 2 and 5: deletes the temporary file.
  void RemoveTemporaryFile();
  // Chains in -> resampler -> out so that out writes what in reads as a 44100 Hz PCM WAV.
  static void SetUpResampling(TWaveIn& in, TFastResampler& resampler, TWaveOut& out);
  // The MP3 and Ogg Vorbis encoders take a valid WAV below 44100 Hz only once resampled.
  static bool NeedsResampling(TWaveIn& in);
  // Sets up the Ogg Vorbis and FLAC outputs of a job to encode what in reads.
  static void SetUpEncoders(TWaveIn& in, TVorbisOut& vorbis, TFlacOut& flac);
  // Compression of the Ogg output from the settings (quality mode).
  static float OggQuality(const TSettings& settings = Settings());
  // Quality or bit rates of an Ogg encode from the settings.
  static void ApplyOggEncoding(TVorbisOut& out, const TSettings& settings);
  static void SetVorbisComments(TVorbisTags& tags, const FlacComments& comments);
  // The Vorbis comments of a CD track, from the disc fields.
  FlacComments DiscComments(int item) const;

 private:
  QString TemporaryFile() const;
  // The end report of a file job's item (kMp3Ended, kOggEnded or kFlacEnded by the job kind).
  qint32 FileItemEndStatus() const;
  // Runs an output as the item's step; one that fails to start skips the item.
  void RunStep(TAuOutput& output, int item, qint32 endStatus);
  void ContinueAfterEncode(qint32 percent, qint32 errorCode);
  void StartResampling(int item);
  void ApplyOggSettings(int item);
  void PostOutputProgress(TAuOutput* output);

  TJobRunner& runner_;
  std::unique_ptr<TWaveIn> sourceWav_;
  std::unique_ptr<TFastResampler> resampler_;
  std::unique_ptr<TWaveOut> wavOutput_;
  std::unique_ptr<TVorbisOut> oggOutput_;
  std::unique_ptr<TFlacOut> flacOutput_;
  ProgressClock stepStart_;
};

}  // namespace trackmill
