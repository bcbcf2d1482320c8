#pragma once
#include <QByteArray>

#include <vector>

#include "audio/core/AuFileOut.h"
#include "audio/wav/ImaAdpcm.h"
#include "audio/wav/WavFormat.h"
#include "audio/wav/WavScan.h"

// TWaveOut: a file output that writes the PCM of its input as a WAV file: a 44-byte PCM
// header (wtPCM), a 68-byte extensible header (chosen for inputs over 2 channels or 16 bits
// when CreateNonMsHeaders is false) or IMA/DVI ADPCM with a 60-byte header and "fact"
// (wtDVIADPCM, 16-bit input only). foAppend adds to an existing PCM or IMA ADPCM file of the
// same format; a refused append leaves the file as it was.
//
// The header carries the input's announced size; it is corrected from the real length when
// the size was unknown, when appending, or when the run did not reach the input's end
// (stopped or failed). A completed run of an input that delivered less than it announced is
// padded with silence to the announced size. A short write stops the run with
// "Error writing wave file" (the header is still corrected on finish).
//
// Properties are changed only while the output is idle (WavType and BlockSize ignore changes
// while busy). Threads, events and errors as TAuOutput.
namespace trackmill {

class TWaveOut : public TAuFileOut {
  Q_OBJECT
 public:
  explicit TWaveOut(QObject* parent = nullptr);
  ~TWaveOut() override;

  TWavType WavType() const { return wavType_; }
  // Only wtPCM and wtDVIADPCM are taken, and only while idle.
  void SetWavType(TWavType type);
  quint16 BlockSize() const { return blockSize_; }
  // ADPCM block size in bytes; ignored while busy, when 0 or when not a multiple of 4.
  void SetBlockSize(quint16 blockSize);
  bool CreateNonMsHeaders() const { return createNonMsHeaders_; }
  void SetCreateNonMsHeaders(bool value) { createNonMsHeaders_ = value; }
  void SetFileMode(TFileOutputMode mode) override;

 protected:
  void PrepareOutput() override;
  bool OutputBlock(bool abort) override;
  void FinishOutput() override;

 private:
  void OpenTarget();
  void CloseTarget();
  [[noreturn]] void Refuse(const char* message);
  void WriteHeader(const QByteArray& header);
  bool WritePcmStep();
  bool WriteAdpcmStep();
  void CorrectHeader();
  void PadToAnnouncedSize(qint64 headerBytes);

  TWavType wavType_ = TWavType::wtPCM;
  quint16 blockSize_ = 512;
  bool createNonMsHeaders_ = true;

  // Run state (worker thread).
  TWavType runType_ = TWavType::wtPCM;
  bool inputOpen_ = false;
  bool targetReady_ = false;  // header written or append position taken
  bool endOfInput_ = false;
  bool completed_ = false;
  bool appending_ = false;
  TWavScan existing_;  // what the append scan found
  qint64 announcedBytes_ = -1;
  qint64 framesEncoded_ = 0;
  int channels_ = 0;
  std::vector<ima::TImaChannelState> imaState_;
  QByteArray chunk_;  // one block of input PCM (ADPCM)
  QByteArray block_;  // one encoded block
};

}  // namespace trackmill
