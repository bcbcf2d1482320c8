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
// Files (EncodeRules): one encoder at a time writes the final file directly, its encoder
// asking the job's question before it replaces one, and resamples through the job's shared
// temporary file; several at once write "Title.partial.ext" beside the final file, which takes
// the final name only on success (the questions were asked before anything started), and
// resample into "Title.partial.44100.wav". A resampled copy goes however the encode ends.
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
  bool inPlace = false;                    // one at a time: the final file is written directly
  TOverwriteQuestion* question = nullptr;  // in place: asked before a file is replaced
  QString sharedResampleFile;              // in place: where inputs are resampled to
  // In place: the job's encoder runners (null: that encoder is missing); otherwise each slot
  // runs its own.
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

  // The temporary name an encode writes its output under.
  static QString PartialName(const QString& output);
  // The resampled copy of the input an encode writes beside its output.
  static QString ResampledName(const QString& output);

 signals:
  void ProgressChanged();
  // Emitted once per started encode, never from inside Start().
  void Ended(int item, const StepVerdict& verdict);

 protected:
  bool event(QEvent* event) override;

 private:
  QString Target() const;  // the file the encoder writes
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
