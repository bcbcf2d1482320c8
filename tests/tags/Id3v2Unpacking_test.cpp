#include "tags/Id3v2Unpacking.h"

#include <gtest/gtest.h>

#include "tags/Id3Layout.h"
#include "tests/tags/Id3TestFiles.h"

namespace trackmill {
namespace {

using id3::v2::Synchsafe;

QByteArray Bytes(std::initializer_list<char> bytes) { return QByteArray(bytes.begin(), qsizetype(bytes.size())); }

QByteArray BigEndian(quint32 value) { return Bytes({char(value >> 24), char(value >> 16), char(value >> 8), char(value)}); }

// The zlib stream of data (qCompress puts the length in front).
QByteArray Zlib(const QByteArray& data) { return qCompress(data, 9).mid(4); }

// 0xFF gets a 0x00 after it.
QByteArray Unsynchronised(const QByteArray& data) {
  QByteArray out;
  for (char c : data) {
    out.append(c);
    if (static_cast<quint8>(c) == 0xFF) out.append('\0');
  }
  return out;
}

// A compressed frame: the header, the unpacked size it claims, the zlib stream.
QByteArray PackedFrame(int version, const QByteArray& id, const QByteArray& unpacked, quint32 claimed, quint8 extraFormatFlags = 0) {
  const QByteArray group = extraFormatFlags & 0x40 ? "\x01" : "";
  const QByteArray data = BigEndian(claimed) + group + Zlib(unpacked);
  const QByteArray size = version == 4 ? Synchsafe(data.size()) : BigEndian(data.size());
  const char format = char((version == 4 ? 0x09 : 0x80) | extraFormatFlags);
  return id + size + '\0' + format + (extraFormatFlags & 0x02 ? Unsynchronised(data) : data);
}

QByteArray Tag(int version, const QByteArray& frames, quint8 flags = 0) {
  return "ID3" + Bytes({char(version), '\0', char(flags)}) + Synchsafe(frames.size() + 64) + frames + QByteArray(64, '\0');
}

// Random letters: Huffman-coded by zlib into bytes that hold 0xFF, which unsynchronisation changes.
QByteArray Letters(int size) {
  QByteArray out;
  quint32 state = 12345;
  for (int i = 0; i < size; ++i) out.append(char('a' + ((state = state * 1103515245u + 12345u) >> 28)));
  return out;
}

TEST(Id3v2Unpacking, CountsWhatEveryCompressedFrameUnpacksTo) {
  const QByteArray text = "\x03" + QByteArray(999, 'a');
  const QByteArray letters = Letters(3000);
  ASSERT_TRUE(Zlib(letters).contains('\xff'));
  const QByteArray chapterBody = QByteArray("ch1\0", 4) + QByteArray(16, '\0') + PackedFrame(4, "TIT2", text, 1000);
  const QByteArray chapterFrame = "CHAP" + Synchsafe(chapterBody.size()) + QByteArray(2, '\0') + chapterBody;
  const struct {
    const char* name;
    QByteArray content;
    qint64 unpacked;
  } cases[] = {
      {"v2.4 frame", Tag(4, PackedFrame(4, "TIT2", text, 1000)), 1000},
      {"v2.3 frame, claim ignored", Tag(3, PackedFrame(3, "TIT2", text, 5)), 1000},
      {"v2.3 unsynchronised tag", Tag(3, Unsynchronised(PackedFrame(3, "APIC", letters, 3000)), 0x80), 3000},
      {"v2.4 unsynchronised frame", Tag(4, PackedFrame(4, "APIC", letters, 3000, 0x02)), 3000},
      {"v2.4 grouped frame", Tag(4, PackedFrame(4, "TIT2", text, 1000, 0x40)), 1000},
      {"frame inside a chapter", Tag(4, chapterFrame), 1000},
      {"two tags, one after junk", Tag(4, PackedFrame(4, "TIT2", text, 1000)) + "junk" + Tag(3, PackedFrame(3, "TALB", text, 1000)), 2000},
      {"frames not packed", Tag(4, "TIT2" + Synchsafe(4) + QByteArray(2, '\0') + "\x03" "abc"), 0},
      {"version 2.2", Tag(2, PackedFrame(3, "TIT2", text, 1000)), 0},
      {"no tag", "ID3" + Letters(5000), 0},
      {"empty", {}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(UnpackedId3v2Bytes(c.content), c.unpacked) << c.name;
}

TEST(Id3v2Unpacking, StopsSoonAfterTheLimitWhateverAFrameClaims) {
  const QByteArray bomb = "\x03" + QByteArray(40 << 20, 'A');
  const QByteArray packed = PackedFrame(4, "TIT2", bomb, 16);
  const QByteArray chapterBody = QByteArray("c\0", 2) + QByteArray(16, '\0') + packed;
  const QByteArray chapter = "CHAP" + Synchsafe(chapterBody.size()) + QByteArray(2, '\0') + chapterBody;
  for (const QByteArray& content : {Tag(4, packed), QByteArray("\xff\xfb") + Tag(4, chapter)}) {
    const qint64 unpacked = UnpackedId3v2Bytes(content, 1 << 20);
    EXPECT_GT(unpacked, 1 << 20);
    EXPECT_LT(unpacked, 2 << 20);
  }
}

}  // namespace
}  // namespace trackmill
