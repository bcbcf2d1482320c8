#include "common/FileUtils.h"

#include <fcntl.h>
#include <cstdio>
#include <sys/file.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSaveFile>

namespace trackmill {

bool IsFileInUse(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return false;
  const QByteArray native = QFile::encodeName(path);
  const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return true;
  // A shared probe: two processes probing one file at once must not see each other as holders.
  const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
  if (!locked) ::flock(fd, LOCK_UN);
  ::close(fd);
  return locked;
}

QString IncludeTrailingSeparator(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith('/')) return folder;
  return folder + '/';
}

qint64 FileSizeBySearch(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() ? info.size() : -1;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool ReplaceFile(const QString& from, const QString& to) {
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

}  // namespace trackmill
