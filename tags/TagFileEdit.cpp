#include "tags/TagFileEdit.h"

#include <taglib/tbytevectorstream.h>
#include <taglib/tfilestream.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "tags/Id3v2Unpacking.h"

namespace trackmill {

bool TagError(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

namespace {

// A regular file no larger than a tag reader may hold.
bool SizeWithinBound(const QFileInfo& info, const QString& path, QString* error) {
  if (!info.isFile()) return TagError(error, QStringLiteral("%1: no such file, or not a regular file").arg(path));
  if (info.size() > kMaxTaggedFileBytes)
    return TagError(error, QStringLiteral("%1: the file is too large to tag (%2 bytes; at most %3)")
                               .arg(path).arg(info.size()).arg(kMaxTaggedFileBytes));
  return true;
}

bool Id3v2WithinBound(const QByteArray& content, const QString& path, QString* error) {
  if (UnpackedId3v2Bytes(content) <= kMaxUnpackedId3v2Bytes) return true;
  return TagError(error, QStringLiteral("%1: its ID3v2 tag holds compressed frames that unpack to more than %2 MiB; "
                                        "the file is not read")
                             .arg(path).arg(kMaxUnpackedId3v2Bytes >> 20));
}

}  // namespace

bool ReadTaggedFile(const QString& path, QByteArray* content, QString* error) {
  const QFileInfo info(path);
  if (!SizeWithinBound(info, path, error)) return false;
  QFile source(path);
  if (!source.open(QIODevice::ReadOnly)) return TagError(error, QStringLiteral("%1: cannot be read").arg(path));
  // Read no more than the size seen, even when the file grows meanwhile.
  *content = source.read(info.size());
  return Id3v2WithinBound(*content, path, error);
}

bool EditInMemory(const QString& path, const std::function<bool(TagLib::ByteVectorStream*)>& edit, QString* error) {
  QByteArray original;
  if (!ReadTaggedFile(path, &original, error)) return false;
  TagLib::ByteVectorStream stream(TagLib::ByteVector(original.constData(), static_cast<unsigned>(original.size())));
  original.clear();
  if (!edit(&stream)) return false;
  // QSaveFile would replace a file the user may not write when its folder is writable.
  if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
    return TagError(error, QStringLiteral("%1: the file is read-only").arg(path));
  const TagLib::ByteVector* edited = stream.data();
  QSaveFile target(path);
  if (!target.open(QIODevice::WriteOnly) ||
      target.write(edited->data(), edited->size()) != static_cast<qint64>(edited->size()) || !target.commit())
    return TagError(error, QStringLiteral("%1: cannot be written").arg(path));
  return true;
}

bool EditInPlace(const QString& path, const std::function<bool(TagLib::IOStream*)>& edit, QString* error) {
  if (!SizeWithinBound(QFileInfo(path), path, error)) return false;
  {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) return TagError(error, QStringLiteral("%1: cannot be read").arg(path));
    const qint64 size = source.size();
    uchar* mapped = size > 0 ? source.map(0, size) : nullptr;
    if (size > 0 && !mapped) return TagError(error, QStringLiteral("%1: cannot be read").arg(path));
    if (!Id3v2WithinBound(QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size)), path, error))
      return false;
  }
  if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
    return TagError(error, QStringLiteral("%1: the file is read-only").arg(path));
  TagLib::FileStream stream(QFile::encodeName(path).constData(), false);
  if (!stream.isOpen() || stream.readOnly()) return TagError(error, QStringLiteral("%1: cannot be written").arg(path));
  return edit(&stream);
}

}  // namespace trackmill
