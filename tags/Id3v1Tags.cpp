#include "tags/Id3v1Tags.h"

#include <QIODevice>

#include "tags/Id3Genres.h"
#include "tags/Id3Layout.h"
#include "tags/Id3v1Block.h"

namespace trackmill {
namespace {

using namespace id3::v1;

// Field bytes without leading and trailing characters of code 32 or below.
QByteArray Trimmed(const QByteArray& field) {
  qsizetype begin = 0;
  qsizetype end = field.size();
  while (begin < end && static_cast<quint8>(field[begin]) <= 32) ++begin;
  while (end > begin && static_cast<quint8>(field[end - 1]) <= 32) --end;
  return field.mid(begin, end - begin);
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
  const std::optional<BlockFields> fields = ParseBlock(ReadLastBlock(device));
  if (!fields) return false;
  if (hadBlock) *hadBlock = true;

  SetValue(QStringLiteral("title"), TagValue::Ansi(Trimmed(fields->title)));
  SetValue(QStringLiteral("artist"), TagValue::Ansi(Trimmed(fields->artist)));
  SetValue(QStringLiteral("album"), TagValue::Ansi(Trimmed(fields->album)));
  bool isNumber = false;
  const int year = Trimmed(fields->year).toInt(&isNumber);
  SetValue(QStringLiteral("year"), TagValue::Integer(isNumber ? year : 0));
  SetValue(QStringLiteral("comment"), TagValue::Ansi(Trimmed(fields->comment)));
  SetValue(QStringLiteral("track"), TagValue::Integer(fields->track));
  SetValue(QStringLiteral("genre"), TagValue::Integer(fields->genre));
  return true;
}

bool TId3v1Tags::WriteToHandle(QIODevice* device, bool) {
  if (!IsUsable(device) || !device->isWritable() || device->isSequential()) return false;
  const QByteArray block = RenderBlock(
      {Title(), Artist(), Album(), QByteArray::number(Year()), Comment(), Track(), GenreId()});
  if (!device->seek(device->size())) return false;
  return device->write(block) == kBlockSize;
}

}  // namespace trackmill
