#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "audio/codecs/FlacOut.h"
#include "jobs/StepVerdict.h"
#include "settings/Settings.h"

// One encoder of a job and the item it encodes: resampling a WAV below 44100 Hz first when the
// encoder needs that (MP3, Ogg Vorbis), then the encode (lame or the WMA encoder as a child
// process, Ogg Vorbis or FLAC through the audio pipeline), judged as every step is judged
// (StepVerdict). The child processes report by job reports to this object, the pipeline
// outputs by their callbacks; both arrive on the main thread.
//
// Files: the encode writes a part file of its own beside the final file (PartFileName), which
// takes the final name only when the encode succeeded and left a file that is not empty (the
// job asked before anything replaces a file); an input below 44100 Hz is first resampled into
// a part file of its own. Part files go however the encode ends.
//
// Main thread only. Not copyable; owned by the pool (TEncoderPool).
namespace trackmill {

class TEncodeProcess;
class TMp3EncodeProcess;
class TWMAEncodeProcess;
class TOverwriteQuestion;
class TWaveIn;
class TWaveOut;
class TFastResampler;
class TAuFileOut;

enum class Encoder { Mp3, Ogg, Wma, Flac, Mp3Decode };

// Whether the encoder runs as a child process (which may ask before it overwrites) rather
// than through the audio pipeline.
bool RunsProcess(Encoder encoder);

struct EncodeRules {
  // One encoder at a time: the job's own encoder runners (whose messages reach the user
  // through the job; null: that encoder is missing). Otherwise each slot runs its own.
  bool jobRunners = false;
  TMp3EncodeProcess* mp3 = nullptr;
  TWMAEncodeProcess* wma = nullptr;
};

struct PoolEncode {
  int item = 0;
  QString name;           // the item as messages name it (title or source path)
  QString input;          // the WAV (the MP3 when decoding)
  QString output;         // the final file
  bool checkWav = false;  // the input must be a WAV the pipeline reads
  FlacComments comments;  // Ogg and FLAC: Vorbis comments to write
};

struct SlotSetup {
  Encoder encoder;
  int jobKind;
  const TSettings& settings;
  const EncodeRules& rules;
};

class EncodeSlot : public QObject {
  Q_OBJECT
 public:
  explicit EncodeSlot(SlotSetup setup);
  ~EncodeSlot() override;

  void Start(PoolEncode encode);
  // Ends the encode at once, without a report.
  void Stop();

  bool Busy() const { return busy_; }
  int Item() const { return encode_.item; }
  int Percent() const { return percent_; }
  QString ElapsedText() const { return elapsed_; }
  QString EstimatedText() const { return estimated_; }
  bool Resampling() const { return busy_ && !resampled_.isEmpty() && encoderInput_ != resampled_; }

 signals:
  void ProgressChanged();
  // Emitted once per started encode, never from inside Start().
  void Ended(int item, const StepVerdict& verdict);

 protected:
  bool event(QEvent* event) override;

 private:
  void SetStage(int startPercent, int spanPercent);
  void SetPercent(int stagePercent);
  template <typename Step>
  void Guarded(Step step);
  void StartEncoder();
  bool StartResampling();
  void RemoveResampled();
  TEncodeProcess* Process();
  void StartProcess();
  void StartOutput();
  void WmaTick();
  void FinishAsJudged(const StepEnded& end, const QString& output);
  void Finish(StepVerdict verdict);

  SlotSetup setup_;
  PoolEncode encode_;
  QString partial_;       // the file the encoder writes
  QString encoderInput_;  // the input, or its resampled copy
  QString resampled_;     // the resampled copy while it exists
  bool busy_ = false;
  bool progressSeen_ = false;  // of the running child process
  int percent_ = 0;
  int stageStart_ = 0;
  int stageSpan_ = 100;
  QString elapsed_;
  QString estimated_;
  QString informed_;
  std::unique_ptr<TOverwriteQuestion> replacePartial_;  // the partial file is ours to replace
  std::unique_ptr<TEncodeProcess> ownProcess_;
  TEncodeProcess* process_ = nullptr;  // the running one
  std::unique_ptr<TWaveIn> waveIn_;
  std::unique_ptr<TAuFileOut> output_;
  // Declared in chain order, so the output goes before what it reads.
  std::unique_ptr<TWaveIn> resampleIn_;
  std::unique_ptr<TFastResampler> resampler_;
  std::unique_ptr<TWaveOut> resampleOut_;
  QElapsedTimer wmaStart_;
  QTimer wmaTick_;
};

}  // namespace trackmill
