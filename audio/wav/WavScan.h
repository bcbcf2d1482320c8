#pragma once
#include <QIODevice>

#include "audio/wav/MsAdpcm.h"
#include "audio/wav/WavFormat.h"

// The chunk scan of a WAV header, shared by the reader and the append path of the writer.
//
// Starting at the stream's current position it searches "RIFF" and "WAVE" byte by byte
// (junk before them is tolerated), then walks the chunks: "fmt " gives the format; ADPCM and
// MPEG Layer-3 need a "fact" chunk before "data"; "data" ends the scan with the stream at the
// first audio byte. Other chunks are skipped (by seeking when the stream allows). Chunk ids
// compare case-insensitively. The scan gives up (wtUnsupported) at the end of the stream, once
// the header area passes its limit, on a "fmt " body too short for its type, or on more
// coefficient pairs than the table holds. It reads nothing beyond the header area it counts.
namespace trackmill {

struct TWavScan {
  TWavType type = TWavType::wtUnsupported;
  quint16 channels = 0;
  quint32 sampleRate = 0;
  quint16 blockAlign = 0;
  quint16 bitsPerSample = 0;
  quint16 samplesPerBlock = 0;
  msadpcm::TCoefficients coefficients;
  quint32 factFrames = 0;
  qint64 factValueOffset = -1;  // absolute offset of the "fact" value
  quint32 dataBytes = 0;        // the "data" chunk's size field
  qint64 dataSizeOffset = -1;   // absolute offset of that field
  qint64 dataOffset = -1;       // absolute offset of the first audio byte
};

enum class TWavScanMode {
  Reader,  // every type TWaveIn reads; header area up to 65535 bytes
  Append,  // plain PCM and IMA/DVI ADPCM only; header area up to 8192 bytes
};

TWavScan ScanWavHeader(QIODevice& stream, TWavScanMode mode);

}  // namespace trackmill
