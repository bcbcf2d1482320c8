#pragma once
#include <QObject>

#include <memory>
#include <vector>

#include "audio/core/AuFileOut.h"
#include "audio/codecs/VorbisBitRate.h"
#include "tags/VorbisTags.h"

// TVorbisOut: a file output that encodes the PCM of its input (8-bit unsigned, 16-, 24- or
// 32-bit signed, any channel count the encoder takes) into an Ogg Vorbis file with Vorbis
// comments. Quality mode (Compression, the encoder's quality scale) unless a nominal bit rate
// is chosen, then managed bit rates (VorbisBitRates has the setter rules). foAppend writes the
// new logical stream after the existing content of the file (which is not checked).
// Each step encodes up to 24576 bytes of input.
//
// The comments are copied in before a run and cleared when the run ends, so every run sets
// its own. A stopped run leaves a file without its last page.
//
// Threads: properties are set on the main thread while idle; prepare, steps and finish run on
// the worker thread (see TAuOutput). Errors (EAuException, reported through
// OnThreadException): the library messages of VorbisLibraries.h, "File name is not
// assigned.", the set-up and write errors of VorbisEncoder, and the file's system message.
namespace trackmill {

class VorbisEncoder;

class TVorbisOut : public TAuFileOut {
  Q_OBJECT
 public:
  static constexpr int kStepBytes = 24576;

  explicit TVorbisOut(QObject* parent = nullptr);
  ~TVorbisOut() override;

  void SetFileMode(TFileOutputMode mode) override;

  float Compression() const { return compression_; }
  void SetCompression(float quality) { compression_ = quality; }
  TVorbisBitRate DesiredNominalBitrate() const { return bitRates_.Nominal(); }
  void SetDesiredNominalBitrate(TVorbisBitRate rate) { bitRates_.SetNominal(rate); }
  TVorbisBitRate DesiredMaximumBitrate() const { return bitRates_.Maximum(); }
  void SetDesiredMaximumBitrate(TVorbisBitRate rate) { bitRates_.SetMaximum(rate); }
  TVorbisBitRate MinimumBitrate() const { return bitRates_.Minimum(); }
  void SetMinimumBitrate(TVorbisBitRate rate) { bitRates_.SetMinimum(rate); }
  int Serial() const { return serial_; }
  void SetSerial(int serial) { serial_ = serial; }

  TVorbisTags& Comments() { return comments_; }
  // Copies the given container into the owned one.
  void SetComments(const TVorbisTags& comments) { comments_.AssignFrom(comments); }

 protected:
  void PrepareOutput() override;
  bool OutputBlock(bool abort) override;
  void FinishOutput() override;

 private:
  float compression_ = 0.2f;
  VorbisBitRates bitRates_;
  int serial_ = 0;
  TVorbisTags comments_;

  // Run state (worker thread).
  std::unique_ptr<VorbisEncoder> encoder_;
  int bitsPerSample_ = 16;
  int frameBytes_ = 4;
  std::vector<char> block_;
};

}  // namespace trackmill
