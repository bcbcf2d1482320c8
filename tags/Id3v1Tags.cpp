#include "tags/Id3v1Tags.h"

#include <QIODevice>

#include "tags/Id3Genres.h"
#include "tags/Id3Layout.h"

namespace trackmill {
namespace {

using namespace id3::v1;

// Field bytes without leading and trailing characters of code 32 or below.
QByteArray TrimmedField(const QByteArray& block, int offset, int width) {
  int begin = offset;
  int end = offset + width;
  while (begin < end && static_cast<quint8>(block[begin]) <= 32) ++begin;
  while (end > begin && static_cast<quint8>(block[end - 1]) <= 32) --end;
  return block.mid(begin, end - begin);
}

void PutBytes(QByteArray& block, int offset, int width, const QByteArray& bytes) {
  const QByteArray cut = bytes.left(width);
  block.replace(offset, cut.size(), cut);
}

// The last 128 bytes of the device, or empty when they cannot be read whole.
QByteArray ReadLastBlock(QIODevice* device) {
  const qint64 size = device->size();
  if (size < kBlockSize || !device->seek(size - kBlockSize)) return {};
  QByteArray block = device->read(kBlockSize);
  return block.size() == kBlockSize ? block : QByteArray();
}

}  // namespace

TId3v1Tags::TId3v1Tags() {
  AddKey(QStringLiteral("genre"), TagValue::Integer(kDefaultGenre));
  for (const char* key : {"artist", "album", "year", "track", "title", "comment"})
    AddKey(QString::fromLatin1(key));
}

QByteArray TId3v1Tags::Artist() const {
  const TagValue value = GetValue(QStringLiteral("artist"));
  return value.isText() ? value.toAnsi() : QByteArray();
}

quint8 TId3v1Tags::GenreId() const {
  // A cleared genre is the default genre, not genre 0.
  const TagValue value = GetValue(QStringLiteral("genre"));
  if (value.isUnassigned()) return kDefaultGenre;
  const int genre = value.toInteger();
  return genre >= 0 && genre < kGenreCount ? static_cast<quint8>(genre) : kDefaultGenre;
}

QByteArray TId3v1Tags::Genre() const { return GenreName(GenreId()).toLatin1(); }

void TId3v1Tags::SetGenre(const QString& name) {
  const int genre = GenreByName(name);
  if (genre >= 0) SetGenreId(static_cast<quint8>(genre));
}

bool TId3v1Tags::HasTagAt(QIODevice* device) {
  if (!IsUsable(device) || device->isSequential()) return false;
  const qint64 position = device->pos();
  const bool found = HasMagic(ReadLastBlock(device));
  device->seek(position);
  return found;
}

bool TId3v1Tags::ReadFromHandle(QIODevice* device, bool* hadBlock) {
  if (hadBlock) *hadBlock = false;
  if (!IsUsable(device) || device->isSequential()) return false;
  Clear();
  const QByteArray block = ReadLastBlock(device);
  if (!HasMagic(block)) return false;
  if (hadBlock) *hadBlock = true;

  SetValue(QStringLiteral("title"), TagValue::Ansi(TrimmedField(block, kTitleOffset, kTextWidth)));
  SetValue(QStringLiteral("artist"), TagValue::Ansi(TrimmedField(block, kArtistOffset, kTextWidth)));
  SetValue(QStringLiteral("album"), TagValue::Ansi(TrimmedField(block, kAlbumOffset, kTextWidth)));
  bool isNumber = false;
  const int year = TrimmedField(block, kYearOffset, kYearWidth).toInt(&isNumber);
  SetValue(QStringLiteral("year"), TagValue::Integer(isNumber ? year : 0));
  const char marker = block[kTrackMarkerOffset];
  const char track = block[kTrackOffset];
  const bool hasTrack = (marker == '\0' && track != '\0') || (marker == ' ' && track != ' ');
  SetValue(QStringLiteral("comment"),
           TagValue::Ansi(TrimmedField(block, kCommentOffset, hasTrack ? kShortCommentWidth : kTextWidth)));
  SetValue(QStringLiteral("track"), TagValue::Integer(hasTrack ? static_cast<quint8>(track) : 0));
  SetValue(QStringLiteral("genre"), TagValue::Integer(static_cast<quint8>(block[kGenreOffset])));
  return true;
}

bool TId3v1Tags::WriteToHandle(QIODevice* device, bool) {
  if (!IsUsable(device) || !device->isWritable() || device->isSequential()) return false;
  QByteArray block(kBlockSize, '\0');
  block.replace(0, kMagicSize, kMagic);
  PutBytes(block, kTitleOffset, kTextWidth, Title());
  PutBytes(block, kArtistOffset, kTextWidth, Artist());
  PutBytes(block, kAlbumOffset, kTextWidth, Album());
  PutBytes(block, kYearOffset, kYearWidth, QByteArray::number(Year()));
  if (Track() != 0) {
    PutBytes(block, kCommentOffset, kShortCommentWidth, Comment());
    block[kTrackOffset] = static_cast<char>(Track());
  } else {
    PutBytes(block, kCommentOffset, kTextWidth, Comment());
  }
  block[kGenreOffset] = static_cast<char>(GenreId());
  if (!device->seek(device->size())) return false;
  return device->write(block) == kBlockSize;
}

}  // namespace trackmill
