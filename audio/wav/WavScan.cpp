#include "audio/wav/WavScan.h"

#include <QByteArray>

#include <cstring>

#include "audio/core/LittleEndian.h"

namespace trackmill {
namespace {

bool SameId(const char* a, const char* b) {
  for (int i = 0; i < 4; ++i) {
    const int diff = static_cast<quint8>(a[i]) - static_cast<quint8>(b[i]);
    if (diff != 0 && diff != 0x20 && diff != -0x20) return false;
  }
  return true;
}

class HeaderReader {
 public:
  HeaderReader(QIODevice& stream, qint64 limit) : stream_(stream), limit_(limit), start_(stream.pos()) {}

  // Reads exactly count bytes of header; false at the end of the stream or past the limit.
  bool Read(char* into, qint64 count) {
    if (count < 0 || consumed_ + count > limit_) return false;
    if (stream_.read(into, count) != count) return false;
    consumed_ += count;
    return true;
  }
  bool Read(QByteArray& into, qint64 count) {
    if (count < 0 || consumed_ + count > limit_) return false;
    into.resize(count);
    return Read(into.data(), count);
  }
  bool ReadU32(quint32& value) {
    char bytes[4];
    if (!Read(bytes, 4)) return false;
    value = LeView(bytes, 4).U32(0);
    return true;
  }
  bool Skip(qint64 count) {
    if (count < 0 || consumed_ + count > limit_) return false;
    if (!stream_.isSequential()) {
      if (stream_.pos() + count > stream_.size()) return false;
      if (!stream_.seek(stream_.pos() + count)) return false;
      consumed_ += count;
      return true;
    }
    char scratch[512];
    while (count > 0) {
      const qint64 piece = qMin<qint64>(count, sizeof scratch);
      if (!Read(scratch, piece)) return false;
      count -= piece;
    }
    return true;
  }
  // Slides a 4-byte window forward until it shows id.
  bool Search(const char* id) {
    char window[4];
    if (!Read(window, 4)) return false;
    while (!SameId(window, id)) {
      std::memmove(window, window + 1, 3);
      if (!Read(window + 3, 1)) return false;
    }
    return true;
  }
  qint64 Offset() const { return start_ + consumed_; }

 private:
  QIODevice& stream_;
  qint64 limit_;
  qint64 start_;
  qint64 consumed_ = 0;
};

// Reads the "fmt " body into scan; false when it cannot be used at all.
bool TakeFormat(const QByteArray& body, TWavScanMode mode, TWavScan& scan) {
  const LeView fmt(body.constData(), body.size());
  if (!fmt.Has(0, 16)) return false;
  const quint16 tag = fmt.U16(0);
  scan.channels = fmt.U16(2);
  scan.sampleRate = fmt.U32(4);
  scan.blockAlign = fmt.U16(12);
  scan.bitsPerSample = fmt.U16(14);
  if (mode == TWavScanMode::Append) {
    if (tag == wav::kTagPcm) scan.type = TWavType::wtPCM;
    else if (tag == wav::kTagDviAdpcm) scan.type = TWavType::wtDVIADPCM;
    else return false;
    return true;
  }
  switch (tag) {
    case wav::kTagPcm: scan.type = TWavType::wtPCM; break;
    case wav::kTagMsAdpcm: scan.type = TWavType::wtMSADPCM; break;
    case wav::kTagIeeeFloat: scan.type = TWavType::wtIEEEFloat; break;
    case wav::kTagDviAdpcm: scan.type = TWavType::wtDVIADPCM; break;
    case wav::kTagMpegLayer3: scan.type = TWavType::wtACM; break;
    case wav::kTagExtensible:
      // The sub-format GUID follows cbSize, valid bits and the channel mask.
      if (fmt.Equals(24, wav::kSubtypePcm, 16)) scan.type = TWavType::wtExtPCM;
      else if (fmt.Equals(24, wav::kSubtypeFloat, 16)) scan.type = TWavType::wtExtIEEEFloat;
      else return false;
      break;
    default: return false;
  }
  if (scan.type == TWavType::wtDVIADPCM || scan.type == TWavType::wtACM) {
    scan.samplesPerBlock = fmt.U16(18);
  } else if (scan.type == TWavType::wtMSADPCM) {
    scan.samplesPerBlock = fmt.U16(18);
    const int count = fmt.U16(20);
    if (count > wav::kMaxMsCoefficients || !fmt.Has(22, qint64(count) * 4)) return false;
    for (int i = 0; i < count; ++i) scan.coefficients.emplace_back(fmt.I16(22 + 4 * i), fmt.I16(24 + 4 * i));
  }
  return !fmt.Truncated();
}

}  // namespace

TWavScan ScanWavHeader(QIODevice& stream, TWavScanMode mode) {
  TWavScan scan;
  const TWavScan unsupported;
  HeaderReader in(stream, mode == TWavScanMode::Reader ? wav::kReaderHeaderLimit : wav::kAppendHeaderLimit);
  quint32 riffSize = 0;
  if (!in.Search("RIFF") || !in.ReadU32(riffSize) || !in.Search("WAVE")) return unsupported;

  enum class Expect { Fmt, Fact, Data } expect = Expect::Fmt;
  char id[4];
  for (;;) {
    quint32 chunkBytes = 0;
    if (!in.Read(id, 4) || !in.ReadU32(chunkBytes)) return unsupported;
    if (expect == Expect::Fmt && SameId(id, "fmt ")) {
      QByteArray body;
      if (!in.Read(body, chunkBytes) || !TakeFormat(body, mode, scan)) return unsupported;
      const bool needsFact = scan.type == TWavType::wtDVIADPCM || scan.type == TWavType::wtMSADPCM ||
                             scan.type == TWavType::wtACM;
      expect = needsFact ? Expect::Fact : Expect::Data;
    } else if (expect == Expect::Fact && SameId(id, "fact")) {
      scan.factValueOffset = in.Offset();
      QByteArray body;
      if (!in.Read(body, chunkBytes)) return unsupported;
      scan.factFrames = LeView(body.constData(), body.size()).U32(0);
      expect = Expect::Data;
    } else if (expect == Expect::Data && SameId(id, "data")) {
      scan.dataSizeOffset = in.Offset() - 4;
      scan.dataBytes = chunkBytes;
      scan.dataOffset = in.Offset();
      return scan;
    } else if (!in.Skip(chunkBytes)) {
      return unsupported;
    }
  }
}

}  // namespace trackmill
