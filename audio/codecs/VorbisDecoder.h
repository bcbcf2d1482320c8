#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QList>

#include <memory>

// Decodes an Ogg Vorbis stream read from a device into 16-bit signed little-endian PCM.
// The device is read through its own position (seek and tell) and is never closed or freed
// here. Every link of a chained file must have the channel count and rate of the first: data
// of a link that differs is not delivered (the stream ends there), so the PCM format never
// changes under the reader.
//
// Errors: the constructor raises EAuException "Failed to open an ogg file: " + the library's
// result when the stream is not Ogg Vorbis. Read() skips damaged data (counted in
// DamagedSpots()) and goes on at the next page it can decode.
// Not thread-safe; one per open file.
namespace trackmill {

class VorbisDecoder {
 public:
  // seekable: the device may be repositioned (files); false for pipes.
  VorbisDecoder(QIODevice* device, bool seekable);
  ~VorbisDecoder();
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  int Channels() const { return channels_; }
  long SampleRate() const { return sampleRate_; }
  // Frames of the whole stream, -1 when unknown (not seekable).
  qint64 TotalFrames() const { return totalFrames_; }
  long BitRateUpper() const { return bitRateUpper_; }
  long BitRateNominal() const { return bitRateNominal_; }
  long BitRateLower() const { return bitRateLower_; }
  // The raw user comments ("NAME=value", UTF-8) of the stream.
  QList<QByteArray> Comments() const { return comments_; }

  // Decodes up to byteCount bytes (whole frames) into buffer. Returns the bytes written;
  // 0 at the end of the stream or when the data cannot be decoded any further.
  int Read(char* buffer, int byteCount);
  // Places where damaged data was skipped so far.
  int DamagedSpots() const { return damagedSpots_; }
  // Moves to a frame; false when the stream is not seekable or the frame is out of range.
  bool SeekToFrame(qint64 frame);

 private:
  struct State;
  std::unique_ptr<State> s_;
  int channels_ = 0;
  long sampleRate_ = 0;
  qint64 totalFrames_ = -1;
  long bitRateUpper_ = 0;
  long bitRateNominal_ = 0;
  long bitRateLower_ = 0;
  QList<QByteArray> comments_;
  int currentLink_ = -1;
  bool ended_ = false;
  int damagedSpots_ = 0;
};

}  // namespace trackmill
