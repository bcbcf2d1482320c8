#pragma once
#include <QByteArray>
#include <QIODevice>

#include <memory>
#include <utility>
#include <vector>

#include "audio/codecs/VorbisBitRate.h"

// Encodes interleaved PCM into one Ogg Vorbis logical stream written to a device.
// Construction sets the encoder up (quality mode, or managed bit rates when a nominal rate is
// chosen), adds the comments and writes the three header packets on pages of their own.
// Write() feeds PCM in WAV's channel order, which is mapped to Vorbis's own order of three to
// eight channels (a 5.1 WAV's centre stays centre); Write() with no frames ends the stream, after which the pages up to the
// one marked last are written and Ended() turns true. Destruction releases the codec state
// whether or not the stream was ended (a stopped run leaves a file without its last page).
//
// Errors (EAuException): "Vorbis codec setup with the requested bitrate failed. Try a lower
// bitrate." when managed bit rates are refused; "Vorbis codec setup failed." when the
// quality set-up is refused (e.g. an unsupported rate); "Error writing ogg file" when a page
// cannot be written whole. The device is not owned. Not thread-safe; one per run.
namespace trackmill {

struct VorbisEncoderSetup {
  int channels = 2;
  long sampleRate = 44100;
  float quality = 0.2f;        // used when the bit rates are not managed
  VorbisBitRates bitRates;
  int serial = 0;
  // (name, value) pairs in UTF-8, written in this order; empty values are skipped.
  std::vector<std::pair<QByteArray, QByteArray>> comments;
};

class VorbisEncoder {
 public:
  VorbisEncoder(QIODevice* device, const VorbisEncoderSetup& setup);
  ~VorbisEncoder();
  VorbisEncoder(const VorbisEncoder&) = delete;
  VorbisEncoder& operator=(const VorbisEncoder&) = delete;

  // The largest frame count one Write() takes.
  static constexpr int kMaxFramesPerWrite = 24576;

  // Encodes frameCount frames of interleaved samples of the given width (8-bit unsigned,
  // 16-, 24- or 32-bit signed); frameCount 0 ends the stream. Writes every page that is ready.
  void Write(const char* pcm, int frameCount, int bitsPerSample);
  bool Ended() const { return ended_; }

 private:
  struct State;
  void WritePage(const unsigned char* header, long headerLength, const unsigned char* body, long bodyLength);

  QIODevice* device_;
  int channels_;
  bool ended_ = false;
  bool endRequested_ = false;
  std::unique_ptr<State> s_;
};

}  // namespace trackmill
