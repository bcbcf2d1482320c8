#pragma once
#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

#include "audio/codecs/FlacOut.h"
#include "settings/Settings.h"

// The encodes of one job run by several encoders at once: lame (encoding, or decoding MP3 to
// WAV) or the WMA encoder as child processes, Ogg Vorbis and FLAC through the audio pipeline,
// one encoder per slot. MP3 and Ogg Vorbis encodes of a WAV below 44100 Hz resample it first,
// off the main thread, into a file of their own beside the final file ("Title.partial.44100.wav",
// removed however the encode ends).
//
// Each encode writes beside its final file under a temporary name ("Title.partial.mp3") and
// takes the final name only when it succeeded, so a stopped or failed encode never leaves a
// half-written file under a final name; an existing final file is replaced (the caller asked
// first). Encodes start in the order they were added as slots come free; ItemEnded reports
// them in the order they end. The settings the encoders use are the snapshot given at
// construction, so nothing changes under running encoders.
//
// Main thread only (the outputs' events and the child processes' reports arrive there).
// Stop() ends every encode at once without a report; destroying the pool stops it.
namespace trackmill {

class PoolSlot;

struct PoolEncode {
  int item = 0;
  QString input;          // the WAV (the MP3 when decoding)
  QString output;         // the final file
  FlacComments comments;  // Ogg and FLAC: Vorbis comments to write
};

class TEncoderPool : public QObject {
  Q_OBJECT
 public:
  enum class Encoder { Mp3, Ogg, Wma, Flac, Mp3Decode };

  TEncoderPool(Encoder encoder, int jobKind, int slotCount, const TSettings& settings,
               QObject* parent = nullptr);
  ~TEncoderPool() override;

  void Add(PoolEncode encode);
  void Stop();
  bool Idle() const;
  // The lowest item still encoding and its percent; -1 when none runs.
  int OldestRunningItem() const;
  int PercentOf(int item) const;
  // Whether the item is still being resampled before its encode.
  bool Resampling(int item) const;

  // Whether the encoder runs as a child process (which may ask before it overwrites) rather
  // than through the audio pipeline.
  static bool RunsProcess(Encoder encoder) {
    return encoder == Encoder::Mp3 || encoder == Encoder::Mp3Decode || encoder == Encoder::Wma;
  }
  // The temporary name an encode writes its output under.
  static QString PartialName(const QString& output);
  // The resampled copy of the input an encode writes beside its output.
  static QString ResampledName(const QString& output);

 signals:
  // ok false: error says why (may be empty when the encoder itself told the user).
  void ItemEnded(int item, bool ok, const QString& error);
  void ProgressChanged();

 private:
  friend class PoolSlot;
  void StartQueued();
  void SlotEnded(PoolSlot& slot, bool ok, const QString& error);

  Encoder encoder_;
  int jobKind_;
  TSettings settings_;
  std::vector<std::unique_ptr<PoolSlot>> slots_;
  std::deque<PoolEncode> queue_;
};

}  // namespace trackmill
