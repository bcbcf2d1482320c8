#pragma once
#include <QByteArray>
#include <QtGlobal>

// Byte layouts of ID3 tags in files, shared by their readers and writers.
namespace trackmill::id3 {

// ID3v1: a 128-byte block at the very end of the file; 8-bit text fields, fixed width, not
// terminated.
namespace v1 {
constexpr int kBlockSize = 128;
constexpr char kMagic[] = "TAG";
constexpr int kMagicSize = 3;
constexpr int kTitleOffset = 3;
constexpr int kArtistOffset = 33;
constexpr int kAlbumOffset = 63;
constexpr int kTextWidth = 30;  // title, artist, album, comment (1.0 layout)
constexpr int kYearOffset = 93;
constexpr int kYearWidth = 4;
constexpr int kCommentOffset = 97;
constexpr int kShortCommentWidth = 28;  // comment in the 1.1 layout
constexpr int kTrackMarkerOffset = 125;  // 0x00 in the 1.1 layout
constexpr int kTrackOffset = 126;
constexpr int kGenreOffset = 127;

inline bool HasMagic(const QByteArray& block) {
  return block.size() >= kMagicSize && block.startsWith(kMagic);
}
}  // namespace v1

// ID3v2: a 10-byte header, frames, zero padding (big-endian numbers).
namespace v2 {
constexpr int kHeaderSize = 10;
constexpr int kFooterSize = 10;
constexpr quint8 kFooterFlag = 0x10;
constexpr int kWrittenVersion = 4;
constexpr int kPaddingAlignment = 16;
constexpr int kFrameHeaderSize22 = 6;   // 3-character id, 3-byte size
constexpr int kFrameHeaderSize34 = 10;  // 4-character id, 4-byte size, 2 flag bytes
constexpr quint32 kMaxSynchsafe = (1u << 28) - 1;

enum TextEncoding : quint8 { kLatin1 = 0, kUtf16WithBom = 1, kUtf16BigEndian = 2, kUtf8 = 3 };

// 7 bits per byte, the top bit of every byte ignored.
inline quint32 ReadSynchsafe(const char* bytes) {
  quint32 value = 0;
  for (int i = 0; i < 4; ++i) value = (value << 7) | (static_cast<quint8>(bytes[i]) & 0x7F);
  return value;
}
inline quint32 ReadBigEndian(const char* bytes, int width) {
  quint32 value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | static_cast<quint8>(bytes[i]);
  return value;
}
// value must not exceed kMaxSynchsafe.
inline QByteArray Synchsafe(quint32 value) {
  QByteArray out(4, '\0');
  for (int i = 3; i >= 0; --i) {
    out[i] = static_cast<char>(value & 0x7F);
    value >>= 7;
  }
  return out;
}
}  // namespace v2

}  // namespace trackmill::id3
