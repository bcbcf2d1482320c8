#pragma once
#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

#include "audio/core/AuFileIn.h"
#include "tags/VorbisTags.h"

// TVorbisIn: a tagged file input that decodes an Ogg Vorbis file (or a supplied stream) to
// 16-bit signed PCM with the stream's channels and rate, and reads its comments (into
// Comments() and the common tags). Size is the stream's length in bytes of that PCM (-1 when
// the stream cannot be measured, e.g. a pipe).
// Data is decoded 12288 bytes at a time; damaged pages are skipped (see DamagedSpots()).
//
// Threads: as TAuFileIn (format getters and Comments() from the main thread before a run,
// reading on the worker thread). Errors (EAuException): the library messages of
// VorbisLibraries.h; "Failed to open stream" when the file cannot be opened (the input is
// then not valid); "Failed to open an ogg file: " + number when it is not Ogg Vorbis;
// "The Stream is not opened" when reading before opening.
namespace trackmill {

class VorbisDecoder;

class TVorbisIn : public TAuTaggedFileIn {
  Q_OBJECT
 public:
  static constexpr int kDecodeBufferBytes = 12288;

  explicit TVorbisIn(QObject* parent = nullptr);
  ~TVorbisIn() override;

  // Opens the file when needed; the comments of its first stream.
  const TVorbisTags& Comments();
  // Bit rates from the stream information (bits per second; 0 or -1 when not set).
  long BitRateUpper() const { return bitRateUpper_; }
  long BitRateNominal() const { return bitRateNominal_; }
  long BitRateLower() const { return bitRateLower_; }

  bool SeekTo(qint64 frame) override;
  // Places of the file where damaged data was skipped while decoding since it was opened for
  // the current run (or the last one). Any thread.
  int DamagedSpots() const { return damagedSpots_.load(); }

 protected:
  void OpenFile() override;
  void CloseFile() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  void ReleaseStream();

  std::unique_ptr<VorbisDecoder> decoder_;
  std::vector<char> buffer_;
  bool decoderEnded_ = false;
  std::atomic<int> damagedSpots_{0};
  TVorbisTags comments_;
  long bitRateUpper_ = 0;
  long bitRateNominal_ = 0;
  long bitRateLower_ = 0;
};

}  // namespace trackmill
