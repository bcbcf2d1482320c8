#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <optional>

// The one parse/render pair of the ID3v1 block that every reader and writer of it uses. Plain
// values; any thread.
namespace trackmill::id3::v1 {

// The fields of a block as the bytes of the file (ISO-8859-1 text).
struct BlockFields {
  QByteArray title;    // 30 bytes at most
  QByteArray artist;   // 30 bytes at most
  QByteArray album;    // 30 bytes at most
  QByteArray year;     // 4 bytes at most
  QByteArray comment;  // 30 bytes at most; 28 when there is a track
  quint8 track = 0;    // 0: the 1.0 layout, whose comment takes the track's bytes
  quint8 genre = 255;  // 255: none

  friend bool operator==(const BlockFields&, const BlockFields&) = default;
};

// The fields of a 128-byte block that begins with "TAG"; nothing for any other bytes. Texts
// keep their full width, padding included: readers trim them as they need. The block has the
// 1.1 layout (a 28-byte comment, then 0x00 and the track byte) exactly when byte 125 is 0x00
// and byte 126 is not. Any other byte at 125, a blank included, is the 29th character of a
// 30-byte comment, so such a comment is never cut short by a track number that is not there.
std::optional<BlockFields> ParseBlock(const QByteArray& block);

// The 128-byte block: "TAG", each text cut to its width and padded with 0x00, the genre byte.
// With a track (not 0) the comment is cut to 28 bytes and followed by 0x00 and the track byte.
QByteArray RenderBlock(const BlockFields& fields);

}  // namespace trackmill::id3::v1
