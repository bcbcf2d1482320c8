#include "tags/PrependBytes.h"

#include <QFile>
#include <QSaveFile>

namespace trackmill {
namespace {

constexpr qint64 kCopyChunkBytes = 1 << 16;

bool PrependToFile(QFile* file, const QByteArray& bytes) {
  const QString path = file->fileName();
  if (path.isEmpty() || !file->flush()) return false;
  const qint64 position = file->pos();
  const QIODevice::OpenMode mode = file->openMode();

  QFile source(path);
  if (!source.open(QIODevice::ReadOnly)) return false;
  QSaveFile target(path);
  if (!target.open(QIODevice::WriteOnly)) return false;
  if (target.write(bytes) != bytes.size()) {
    target.cancelWriting();
    return false;
  }
  while (!source.atEnd()) {
    const QByteArray chunk = source.read(kCopyChunkBytes);
    if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
      target.cancelWriting();
      return false;
    }
  }
  source.close();
  if (!target.commit()) return false;

  // The old handle refers to the replaced file; open the new one the same way, without
  // truncating it.
  file->close();
  QIODevice::OpenMode reopen = mode & ~(QIODevice::Truncate | QIODevice::NewOnly);
  if (reopen & QIODevice::WriteOnly) reopen |= QIODevice::ReadOnly;
  return file->open(reopen) && file->seek(position);
}

bool PrependInMemory(QIODevice* device, const QByteArray& bytes) {
  const qint64 position = device->pos();
  if (!device->seek(0)) return false;
  const QByteArray content = device->readAll();
  if (content.size() != device->size()) return false;
  if (!device->seek(0)) return false;
  if (device->write(bytes + content) != bytes.size() + content.size()) return false;
  return device->seek(position);
}

}  // namespace

bool PrependBytes(QIODevice* device, const QByteArray& bytes) {
  if (device == nullptr || !device->isOpen() || !device->isWritable() || device->isSequential())
    return false;
  if (auto* file = qobject_cast<QFile*>(device)) return PrependToFile(file, bytes);
  if (!device->isReadable()) return false;
  return PrependInMemory(device, bytes);
}

}  // namespace trackmill
