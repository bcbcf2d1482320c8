#include "audio/core/AuFileStream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "audio/core/AuException.h"

namespace trackmill {
namespace {

QString SystemMessage(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Closes the descriptor and throws the system's message for error.
[[noreturn]] void Refuse(int fd, int error) {
  if (fd >= 0) ::close(fd);
  throw EAuException(SystemMessage(error));
}

}  // namespace

TAuFileStream::TAuFileStream(const QString& fileName, quint16 mode) : QFile(fileName) {
  // The descriptor is opened without truncating and locked first: a file that another
  // process holds is refused as it is, and only a locked file is emptied.
  int flags = O_CLOEXEC;
  QIODevice::OpenMode openMode;
  int lockKind = LOCK_EX;
  if (mode == kAuCreate) {
    flags |= O_RDWR | O_CREAT;
    openMode = QIODevice::ReadWrite;
  } else {
    switch (mode & 0x3) {
      case 0: flags |= O_RDONLY; openMode = QIODevice::ReadOnly; break;
      case 1: flags |= O_WRONLY; openMode = QIODevice::WriteOnly; break;
      default: flags |= O_RDWR; openMode = QIODevice::ReadWrite; break;
    }
    switch ((mode >> 4) & 0xF) {
      case 0:
      case 1: lockKind = LOCK_EX; break;
      case 2:
      case 3: lockKind = LOCK_SH; break;
      default: lockKind = 0; break;
    }
  }
  const int fd = ::open(QFile::encodeName(fileName).constData(), flags, 0666);
  if (fd < 0) Refuse(-1, errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) Refuse(fd, errno);
  if (S_ISDIR(info.st_mode)) Refuse(fd, EISDIR);
  if (lockKind != 0 && ::flock(fd, lockKind | LOCK_NB) != 0) Refuse(fd, errno);
  if (mode == kAuCreate && ::ftruncate(fd, 0) != 0) Refuse(fd, errno);
  // Without Unbuffered, QFile keeps its own read-ahead; that is what the readers want.
  if (!open(fd, openMode, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    throw EAuException(errorString());
  }
  locked_ = lockKind != 0;
}

TAuFileStream::~TAuFileStream() { close(); }

void TAuFileStream::close() {
  if (locked_ && isOpen()) ::flock(handle(), LOCK_UN);
  locked_ = false;
  QFile::close();
}

}  // namespace trackmill
