#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <memory>
#include <vector>

#include "audio/core/AuFileOut.h"

// TFlacOut: a file output that encodes the PCM of its input (16-bit signed, or 8-bit unsigned,
// 24-bit signed, one to eight channels) losslessly into a FLAC file through libFLAC, with the
// 32-bit input (32-bit PCM, and the float WAVs the wave reader delivers so) written as its top
// 24 bits, all that a float's mantissa holds; and with the
// MD5 signature of the audio in STREAMINFO and the Vorbis comments given for the run.
// CompressionLevel is libFLAC's preset 0..8 (out-of-range values are clamped). Each step
// encodes up to kStepFrames frames.
//
// The comments are copied in before a run and cleared when the run ends, so every run sets
// its own. A stopped run leaves a file whose STREAMINFO carries no length and no signature.
//
// Threads: properties are set on the main thread while idle; prepare, steps and finish run on
// the worker thread (see TAuOutput). Errors (EAuException, reported through
// OnThreadException): "File name is not assigned.", "FLAC encoder setup failed.",
// "FLAC encoding failed.", and the file's system message.
namespace trackmill {

// Vorbis comments as written: (NAME, value) in UTF-8, in order.
using FlacComments = QList<QPair<QByteArray, QByteArray>>;

class TFlacOut : public TAuFileOut {
  Q_OBJECT
 public:
  static constexpr int kStepFrames = 8192;
  static constexpr int kDefaultCompressionLevel = 5;

  explicit TFlacOut(QObject* parent = nullptr);
  ~TFlacOut() override;

  int CompressionLevel() const { return compressionLevel_; }
  void SetCompressionLevel(int level);
  void SetComments(const FlacComments& comments) { comments_ = comments; }
  const FlacComments& Comments() const { return comments_; }

 protected:
  void PrepareOutput() override;
  bool OutputBlock(bool abort) override;
  void FinishOutput() override;

 private:
  struct Encoder;

  int compressionLevel_ = kDefaultCompressionLevel;
  FlacComments comments_;

  // Run state (worker thread).
  std::unique_ptr<Encoder> encoder_;
  int bitsPerSample_ = 16;
  int channels_ = 2;
  std::vector<char> block_;
  std::vector<int32_t> samples_;
};

}  // namespace trackmill
