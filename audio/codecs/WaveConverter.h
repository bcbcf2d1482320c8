#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

// TWaveConverter: decodes a compressed WAV file (MPEG Layer-3 data inside WAV) as a whole, in
// memory, over libmpg123. TWaveIn loads the file, asks for a PCM destination format, converts
// and has the result written as a 44-byte-header PCM WAV image into a memory stream.
//
// Formats are kept as WAVEFORMATEX bytes (tag, channels, rate, byte rate, block align, bits,
// extension size, extension) in buffers of kFormatBytes; a longer "fmt " body is cut there.
// The converted content holds exactly the PCM the decoder produced (no estimated tail).
//
// Not thread-safe: one owner, one thread. Holds the whole file and its decoded PCM.
namespace trackmill {

class TWaveConverter {
 public:
  static constexpr int kFormatBytes = 129;
  // Error codes of Convert() and SuggestPcmFormat().
  static constexpr int kErrorNotPossible = 512;
  static constexpr int kErrorInvalidParam = 11;
  // SaveWavToStream() failure.
  static constexpr int kErrorWrite = 286;

  TWaveConverter();

  // Reads the format and the data of a WAV file from the stream's current position. Leaves
  // the converter empty unless the stream begins with "RIFF" and "WAVE" (exact case).
  void LoadFile(QIODevice& stream);
  // Completes the new format as 16-bit PCM that the held data can be converted to
  // (destination tag must be PCM). 0 on success.
  int SuggestPcmFormat();
  // Converts the held data to the new format. 0 on success, else an error code with the
  // content unchanged.
  int Convert();
  // Writes the held data as a WAV image (44-byte header) into target. 0 or kErrorWrite.
  int SaveWavToStream(QBuffer& target) const;

  const QByteArray& Content() const { return content_; }
  const QByteArray& CurrentFormat() const { return currentFormat_; }
  QByteArray& NewFormat() { return newFormat_; }

 private:
  QByteArray content_;
  QByteArray currentFormat_;
  QByteArray newFormat_;
};

}  // namespace trackmill
