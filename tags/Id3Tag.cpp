#include "tags/Id3Tag.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "tags/Id3Layout.h"
#include "tags/Id3v1Block.h"
#include "tags/TagValue.h"

namespace trackmill {
namespace {

using namespace id3::v1;

// Only regular files (after following links) count as existing: a directory, a device or a
// FIFO is never opened, so a tag operation can neither fail oddly nor block.
bool IsRegularFile(const QString& path) {
  struct stat info {};
  return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

bool IsWritable(const QString& path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; }

// Field text without trailing NUL, space and 0xFF bytes.
QString FieldText(const QByteArray& field) {
  qsizetype length = field.size();
  while (length > 0) {
    const auto byte = static_cast<quint8>(field[length - 1]);
    if (byte != 0x00 && byte != 0x20 && byte != 0xFF) break;
    --length;
  }
  return QString::fromLatin1(field.constData(), length);
}

// Open for reading and writing, locked against other writers. kOk or the failure status.
quint16 OpenExclusive(QFile& file) {
  if (!file.open(QIODevice::ReadWrite)) return Tid3tag::kOpenFailed;
  if (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0) return Tid3tag::kOpenFailed;
  return Tid3tag::kOk;
}

// Whether the file's last 128 bytes begin with "TAG". kOk or the failure status.
quint16 EndsWithBlock(QFile& file, bool* hasBlock) {
  *hasBlock = false;
  const qint64 size = file.size();
  if (size < kBlockSize) return Tid3tag::kOk;
  if (!file.seek(size - kBlockSize)) return Tid3tag::kIoError;
  const QByteArray magic = file.read(kMagicSize);
  if (magic.size() != kMagicSize) return Tid3tag::kReadError;
  *hasBlock = HasMagic(magic);
  return Tid3tag::kOk;
}

}  // namespace

quint16 Tid3tag::ReadTag(const QString& fileName) {
  if (!IsRegularFile(fileName)) return kOpenFailed;
  ReadOnlyFile = !IsWritable(fileName);
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return kOpenFailed;
  FileName = fileName;
  const qint64 size = file.size();
  if (size < kBlockSize) return kNoTag;
  if (!file.seek(size - kBlockSize)) return kIoError;
  const QByteArray block = file.read(kBlockSize);
  if (block.size() != kBlockSize) return kReadError;
  return ReadBlock(block);
}

quint16 Tid3tag::ReadBlock(const QByteArray& block) {
  const std::optional<BlockFields> fields = ParseBlock(block);
  if (!fields) return kNoTag;

  Title = FieldText(fields->title);
  Artist = FieldText(fields->artist);
  Album = FieldText(fields->album);
  Year = FieldText(fields->year);
  Comment = FieldText(fields->comment);
  HasTrack = fields->track != 0;
  Track = fields->track;
  Genre = fields->genre;
  return Genre > 147 && Genre != 255 ? kUnknownGenre : kOk;
}

quint16 Tid3tag::WriteTag(const QString& fileName) {
  const QString target = fileName == QLatin1String("=") ? FileName : fileName;
  if (!IsRegularFile(target)) return kOpenFailed;
  if (!IsWritable(target)) return kReadOnly;
  QFile file(target);
  if (const quint16 status = OpenExclusive(file); status != kOk) return status;
  bool hasBlock = false;
  if (const quint16 status = EndsWithBlock(file, &hasBlock); status != kOk) return status;
  const QByteArray block = RenderBlock();
  const qint64 size = file.size();
  if (!file.seek(hasBlock ? size - kBlockSize : size)) return kIoError;
  if (file.write(block) != kBlockSize || !file.flush()) return kWriteError;
  FileName = target;
  return kOk;
}

QByteArray Tid3tag::RenderBlock() const {
  return id3::v1::RenderBlock({ToLatin1Text(Title), ToLatin1Text(Artist), ToLatin1Text(Album),
                               ToLatin1Text(Year), ToLatin1Text(Comment), HasTrack ? Track : quint8(0),
                               Genre});
}

quint16 Tid3tag::RemoveTagReporting() {
  if (!IsRegularFile(FileName)) return kOpenFailed;
  if (!IsWritable(FileName)) return kReadOnly;
  QFile file(FileName);
  if (const quint16 status = OpenExclusive(file); status != kOk) return status;
  bool hasBlock = false;
  if (const quint16 status = EndsWithBlock(file, &hasBlock); status != kOk) return status;
  if (!hasBlock) return kNoTag;
  return file.resize(file.size() - kBlockSize) ? kOk : kWriteError;
}

}  // namespace trackmill
