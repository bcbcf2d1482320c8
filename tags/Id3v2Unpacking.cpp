#include "tags/Id3v2Unpacking.h"

#include <zlib.h>

#include <algorithm>

#include "tags/Id3Layout.h"

namespace trackmill {
namespace {

using namespace id3::v2;

constexpr int kMaxNesting = 4;        // frames inside unpacked frames (chapters)
constexpr int kSizeIndicatorBytes = 4;  // the unpacked size in front of compressed data
constexpr quint8 kUnsynchronisedTag = 0x80;
constexpr quint8 kExtendedHeader = 0x40;

struct TagForm {
  int version = 0;                 // 3 or 4
  bool unsynchronised = false;     // the tag's flag
};

bool IsFrameIdByte(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsFrameId(const char* id) { return std::all_of(id, id + 4, IsFrameIdByte); }

// The start of a zlib stream: deflate, a window that zlib accepts, the check bits right.
bool IsZlibHeader(const char* bytes, qsizetype size) {
  if (size < 2) return false;
  const auto method = static_cast<quint8>(bytes[0]);
  const auto flags = static_cast<quint8>(bytes[1]);
  return (method & 0x0F) == 8 && (method >> 4) <= 7 && ((method << 8) | flags) % 31 == 0;
}

// Undoes unsynchronisation: 0xFF 0x00 becomes 0xFF.
QByteArray Resynchronised(const char* bytes, qsizetype size) {
  QByteArray out;
  out.reserve(size);
  for (qsizetype i = 0; i < size; ++i) {
    out.append(bytes[i]);
    if (static_cast<quint8>(bytes[i]) == 0xFF && i + 1 < size && bytes[i + 1] == 0) ++i;
  }
  return out;
}

// Unpacks a zlib stream into out, keeping at most budget + one chunk of bytes; returns the
// bytes it produced before the stream ended, broke or passed the budget.
qint64 Inflate(const char* bytes, qsizetype size, qint64 budget, QByteArray* out) {
  constexpr qsizetype kChunk = 64 * 1024;
  out->clear();
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return 0;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
  stream.avail_in = static_cast<uInt>(size);
  int result = Z_OK;
  while (result == Z_OK && out->size() <= budget) {
    const qsizetype before = out->size();
    out->resize(before + kChunk);
    stream.next_out = reinterpret_cast<Bytef*>(out->data() + before);
    stream.avail_out = static_cast<uInt>(kChunk);
    result = inflate(&stream, Z_NO_FLUSH);
    out->resize(before + kChunk - stream.avail_out);
    if (stream.avail_out != 0 && result == Z_OK) break;  // the input ran out
  }
  inflateEnd(&stream);
  return out->size();
}

qint64 FramesUnpacked(const QByteArray& body, const TagForm& form, qint64 budget, int depth);

// The bytes a frame header at body[at] unpacks to when it is a compressed frame; 0 otherwise.
qint64 CandidateUnpacked(const QByteArray& body, qsizetype at, const TagForm& form, qint64 budget, int depth) {
  const char* header = body.constData() + at;
  if (!IsFrameId(header)) return 0;
  const auto format = static_cast<quint8>(header[9]);
  const bool v4 = form.version == 4;
  if (!(format & (v4 ? 0x08 : 0x80))) return 0;
  const bool grouped = format & (v4 ? 0x40 : 0x20);
  const char* data = header + kFrameHeaderSize34;
  qsizetype size = body.size() - at - kFrameHeaderSize34;
  const bool resynchronise = v4 && (form.unsynchronised || (format & 0x02));
  // Whether a zlib stream can start after the size indicator (and the group byte); only then is
  // the rest of the tag resynchronised, which costs a copy.
  constexpr qsizetype kLookAhead = kSizeIndicatorBytes + 1 + 2;
  const QByteArray start = resynchronise ? Resynchronised(data, std::min(size, 2 * kLookAhead)) : QByteArray();
  const char* probe = resynchronise ? start.constData() : data;
  const qsizetype probeSize = resynchronise ? start.size() : size;
  const bool packed = IsZlibHeader(probe + kSizeIndicatorBytes, probeSize - kSizeIndicatorBytes) ||
                      (grouped && IsZlibHeader(probe + kSizeIndicatorBytes + 1, probeSize - kSizeIndicatorBytes - 1));
  if (!packed) return 0;
  QByteArray resynchronised;
  if (resynchronise) {
    resynchronised = Resynchronised(data, size);
    data = resynchronised.constData();
    size = resynchronised.size();
  }
  qint64 most = 0;
  QByteArray unpacked;
  for (int skip : {kSizeIndicatorBytes, kSizeIndicatorBytes + 1}) {
    if (skip > kSizeIndicatorBytes && !grouped) break;
    if (!IsZlibHeader(data + skip, size - skip)) continue;
    const qint64 produced = Inflate(data + skip, size - skip, budget, &unpacked);
    qint64 total = produced;
    if (produced <= budget && depth < kMaxNesting)
      total += FramesUnpacked(unpacked, form, budget - produced, depth + 1);
    most = std::max(most, total);
  }
  return most;
}

// Every place in body that may be a compressed frame header, counted.
qint64 FramesUnpacked(const QByteArray& body, const TagForm& form, qint64 budget, int depth) {
  qint64 total = 0;
  for (qsizetype at = 0; at + kFrameHeaderSize34 + kSizeIndicatorBytes <= body.size() && total <= budget; ++at)
    total += CandidateUnpacked(body, at, form, budget - total, depth);
  return total;
}

// The unpacked bytes of the ID3v2 tag whose header is at content[at]; 0 when it is none.
qint64 TagUnpacked(const QByteArray& content, qsizetype at, qint64 budget) {
  if (at + kHeaderSize > content.size()) return 0;
  const char* header = content.constData() + at;
  TagForm form;
  form.version = static_cast<quint8>(header[3]);
  const auto revision = static_cast<quint8>(header[4]);
  const auto flags = static_cast<quint8>(header[5]);
  if ((form.version != 3 && form.version != 4) || revision == 0xFF) return 0;  // 2.2 packs no frames
  if (std::any_of(header + 6, header + 10, [](char c) { return static_cast<quint8>(c) >= 0x80; })) return 0;
  const qsizetype bodyStart = at + kHeaderSize;
  const qsizetype bodySize = std::min<qsizetype>(ReadSynchsafe(header + 6), content.size() - bodyStart);
  // A header anywhere but at the start counts only when a frame or an extended header follows.
  if (at > 0 && !(flags & kExtendedHeader) && (bodySize < 4 || !IsFrameId(content.constData() + bodyStart)))
    return 0;
  form.unsynchronised = flags & kUnsynchronisedTag;
  QByteArray body = content.mid(bodyStart, bodySize);
  if (form.version == 3 && form.unsynchronised) body = Resynchronised(body.constData(), body.size());
  return FramesUnpacked(body, form, budget, 0);
}

}  // namespace

qint64 UnpackedId3v2Bytes(const QByteArray& content, qint64 limitBytes) {
  qint64 total = 0;
  for (qsizetype at = content.indexOf("ID3"); at >= 0 && total <= limitBytes; at = content.indexOf("ID3", at + 1))
    total += TagUnpacked(content, at, limitBytes - total);
  return total;
}

}  // namespace trackmill
