#pragma once
#include <QBuffer>
#include <QByteArray>

#include <memory>

#include "audio/core/AuFileIn.h"
#include "audio/wav/WavFormat.h"
#include "audio/wav/WavScan.h"

// TWaveIn: a file input that reads a WAV file and delivers interleaved little-endian PCM.
//
// Reads plain and extensible PCM (8/16/24/32 bits), IEEE float (32- and 64-bit, plain and
// extensible; delivered as 32-bit signed integers), IMA/DVI ADPCM and Microsoft ADPCM
// (delivered as 16-bit; exactly the frames the "fact" chunk names) and MPEG Layer-3 in WAV
// (decoded whole in memory when opened; delivered as 16-bit).
//
// Tolerated: junk before "RIFF", any chunks between the needed ones, lower-case chunk ids, a
// "data" size larger than the file (the size is cut to what the file holds). An unsupported or
// malformed header makes the input invalid (no data, no exception); a corrupt ADPCM block in
// the middle of the data raises EAuException on the reading thread. No input makes it read or
// write outside its buffers.
//
// Threads and lifetime as TAuFileIn. A supplied stream is rewound when the input closes.
namespace trackmill {

class TWaveIn : public TAuFileIn {
  Q_OBJECT
 public:
  explicit TWaveIn(QObject* parent = nullptr);
  ~TWaveIn() override;

  bool SeekTo(qint64 frame) override;
  // The type of the file; opens it, like the format getters.
  TWavType WavType();

 protected:
  void OpenFile() override;
  void CloseFile() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  void TakeFormat();
  bool DecodeMpegLayer3();
  void SizeAdpcmBlocks(qint64 available);
  void Refill();
  void RefillFloat();
  // Bytes of the data chunk from the first audio byte to the end of the stream (-1 unknown).
  qint64 AvailableDataBytes() const;

  TWavScan scan_;
  bool float32_ = false;
  int blockFrames_ = 0;  // ADPCM frames per block
  QByteArray buffer_;    // decoded PCM, sized at opening
  QByteArray block_;     // one compressed ADPCM block
  // MPEG Layer-3: the decoded image replaces the file stream while open.
  std::unique_ptr<QBuffer> decodedStream_;
  QIODevice* fileStream_ = nullptr;
};

}  // namespace trackmill
