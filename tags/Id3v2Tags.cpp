#include "tags/Id3v2Tags.h"

#include <QIODevice>
#include <QStringDecoder>
#include <algorithm>
#include <array>

#include "tags/Id3Layout.h"
#include "tags/PrependBytes.h"

namespace trackmill {
namespace {

using namespace id3::v2;

constexpr std::array<const char*, TId3v2Tags::kFrameCount> kOldIds = {
    "TAL", "TP1", "TCO", "TT2", "TRK", "TYE", "COM", "TCM", "TEN", "TCR", "TLA", "WXX"};
constexpr std::array<const char*, TId3v2Tags::kFrameCount> kNewIds = {
    "TALB", "TPE1", "TCON", "TIT2", "TRCK", "TYER", "COMM", "TCOM", "TENC", "TCOP", "TLAN", "WXXX"};

struct TagHeader {
  int version = 0;
  quint8 flags = 0;
  quint32 size = 0;  // everything after the header
  qint64 TotalLength() const { return qint64(size) + kHeaderSize + ((flags & kFooterFlag) ? kFooterSize : 0); }
};

// Reads 10 bytes at the current position; false unless they form a valid tag header.
bool ReadHeader(QIODevice* device, TagHeader* header) {
  const QByteArray bytes = device->read(kHeaderSize);
  if (bytes.size() != kHeaderSize || !bytes.startsWith("ID3")) return false;
  const auto version = static_cast<quint8>(bytes[3]);
  const auto revision = static_cast<quint8>(bytes[4]);
  const auto flags = static_cast<quint8>(bytes[5]);
  if (revision == 0xFF) return false;
  const quint8 undefinedFlags = version == 2 ? 0x3F : version == 3 ? 0x1F : version == 4 ? 0x0F : 0;
  if (undefinedFlags == 0 || (flags & undefinedFlags) != 0) return false;
  for (int i = 6; i < kHeaderSize; ++i)
    if (static_cast<quint8>(bytes[i]) >= 0x80) return false;
  header->version = version;
  header->flags = flags;
  header->size = ReadSynchsafe(bytes.constData() + 6);
  return true;
}

// Index of the first zero byte at or after begin, or the end of the data.
qsizetype TextEnd(const QByteArray& data, qsizetype begin) {
  const qsizetype zero = data.indexOf('\0', begin);
  return zero < 0 ? data.size() : zero;
}

// UTF-16 text from begin up to the first zero character (an odd last byte is ignored).
QString Utf16Text(const QByteArray& data, qsizetype begin, bool bigEndian) {
  QString text;
  for (qsizetype i = begin; i + 1 < data.size(); i += 2) {
    const auto first = static_cast<quint8>(data[i]);
    const auto second = static_cast<quint8>(data[i + 1]);
    const char16_t unit = bigEndian ? char16_t((first << 8) | second) : char16_t((second << 8) | first);
    if (unit == 0) break;
    text.append(QChar(unit));
  }
  return text;
}

// The value of a text frame by its encoding byte; unassigned for an unknown encoding.
TagValue DecodeFrame(const QByteArray& data) {
  switch (static_cast<quint8>(data[0])) {
    case kLatin1:
      return TagValue::Ansi(data.mid(1, TextEnd(data, 1) - 1));
    case kUtf16WithBom: {
      // The byte-order mark says which byte order follows; without one, little-endian.
      const bool hasMark = data.size() >= 3 && ((quint8(data[1]) == 0xFF && quint8(data[2]) == 0xFE) ||
                                                (quint8(data[1]) == 0xFE && quint8(data[2]) == 0xFF));
      const bool bigEndian = hasMark && quint8(data[1]) == 0xFE;
      return TagValue::Wide(Utf16Text(data, hasMark ? 3 : 1, bigEndian));
    }
    case kUtf8: {
      QStringDecoder decoder(QStringDecoder::Utf8);
      const QByteArray bytes = data.mid(1, TextEnd(data, 1) - 1);
      return TagValue::Wide(decoder.decode(bytes));
    }
    default:
      return {};
  }
}

}  // namespace

QString TId3v2Tags::FrameId(Frame frame, bool newIds) {
  if (frame < 0 || frame >= kFrameCount) return {};
  return QString::fromLatin1(newIds ? kNewIds[frame] : kOldIds[frame]);
}

TId3v2Tags::TId3v2Tags() {
  for (int frame = 0; frame < kFrameCount; ++frame) {
    AddKey(FrameId(Frame(frame), false));
    AddKey(FrameId(Frame(frame), true));
  }
}

bool TId3v2Tags::HasTagAt(QIODevice* device) {
  if (!IsUsable(device) || device->isSequential()) return false;
  const qint64 position = device->pos();
  TagHeader header;
  const bool found = ReadHeader(device, &header);
  device->seek(position);
  return found;
}

bool TId3v2Tags::ReadFromHandle(QIODevice* device) {
  if (!IsUsable(device) || device->isSequential()) return false;
  Clear();
  const qint64 tagStart = device->pos();
  TagHeader header;
  if (!ReadHeader(device, &header)) return false;
  newIds_ = header.version != 2;
  const qint64 tagEnd = tagStart + header.TotalLength();
  const qint64 deviceSize = device->size();

  bool complete = tagEnd <= deviceSize;
  if (complete) {
    const int frameHeaderSize = header.version == 2 ? kFrameHeaderSize22 : kFrameHeaderSize34;
    const int idLength = header.version == 2 ? 3 : 4;
    while (device->pos() + frameHeaderSize <= tagEnd) {
      const QByteArray frameHeader = device->read(frameHeaderSize);
      if (frameHeader.size() != frameHeaderSize) {
        complete = false;
        break;
      }
      if (frameHeader[0] < 'A' || frameHeader[0] > 'Z') break;  // padding reached
      const char* sizeBytes = frameHeader.constData() + idLength;
      const quint32 frameSize = header.version == 2   ? ReadBigEndian(sizeBytes, 3)
                                : header.version == 3 ? ReadBigEndian(sizeBytes, 4)
                                                      : ReadSynchsafe(sizeBytes);
      if (frameSize == 0) continue;
      if (frameSize > tagEnd - device->pos()) {
        complete = false;
        break;
      }
      const QByteArray data = device->read(frameSize);
      if (data.size() != qsizetype(frameSize)) {
        complete = false;
        break;
      }
      const QString id = QString::fromLatin1(frameHeader.constData(), idLength);
      for (int frame = 0; frame < kFrameCount; ++frame) {
        if (frame == kComment || id != FrameId(Frame(frame), newIds_)) continue;
        const TagValue value = DecodeFrame(data);
        if (!value.isUnassigned()) SetValue(id, value);
      }
    }
  }
  // Past the tag, but never past the end: seeking a writable buffer beyond its end would
  // grow it, and a later write would leave a gap.
  device->seek(std::min(tagEnd, deviceSize));
  return complete;
}

QByteArray TId3v2Tags::RenderTag(bool allowUnicode) const {
  QByteArray frames;
  for (int frame = 0; frame < kFrameCount; ++frame) {
    if (frame == kComment) continue;
    const QString id = FrameId(Frame(frame), true);
    const TagValue value = GetValue(id);
    QByteArray data;
    if (allowUnicode && value.kind() == TagValue::Kind::WideString) {
      // A reader takes a byte-order mark at the start of UTF-8 text for a mark, not for text,
      // so a value that begins with U+FEFF gets one in front and reads back whole.
      const QString text = value.toWide();
      const QByteArray mark = text.startsWith(QChar(0xFEFF)) ? QByteArray("\xEF\xBB\xBF") : QByteArray();
      data = char(kUtf8) + mark + text.toUtf8();
    } else {
      data = char(kLatin1) + value.toAnsi();
    }
    if (data.size() == 1) continue;  // an empty value writes no frame
    if (quint64(data.size()) > kMaxSynchsafe) return {};
    frames += id.toLatin1() + Synchsafe(quint32(data.size())) + QByteArray(2, '\0') + data;
  }
  const qsizetype padding = kPaddingAlignment - (frames.size() + kHeaderSize) % kPaddingAlignment;
  const qint64 size = frames.size() + padding;
  if (quint64(size) > kMaxSynchsafe) return {};
  QByteArray header("ID3");
  header += char(kWrittenVersion);
  header += QByteArray(2, '\0');  // revision, flags
  header += Synchsafe(quint32(size));
  return header + frames + QByteArray(padding, '\0');
}

bool TId3v2Tags::WriteToHandle(QIODevice* device, bool allowUnicode) {
  if (!IsUsable(device)) return false;
  const QByteArray tag = RenderTag(allowUnicode);
  return !tag.isEmpty() && PrependBytes(device, tag);
}

}  // namespace trackmill
