#include "audio/AuFileStream.h"

#include <sys/file.h>

#include <cerrno>
#include <cstring>

#include "audio/AuException.h"

namespace trackmill {
namespace {

QString SystemMessage(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

TAuFileStream::TAuFileStream(const QString& fileName, quint16 mode) : QFile(fileName) {
  QIODevice::OpenMode openMode;
  int lockKind = LOCK_EX;
  if (mode == kAuCreate) {
    openMode = QIODevice::ReadWrite | QIODevice::Truncate;
  } else {
    switch (mode & 0x3) {
      case 0: openMode = QIODevice::ReadOnly; break;
      case 1: openMode = QIODevice::WriteOnly | QIODevice::ExistingOnly; break;
      default: openMode = QIODevice::ReadWrite | QIODevice::ExistingOnly; break;
    }
    switch ((mode >> 4) & 0xF) {
      case 0:
      case 1: lockKind = LOCK_EX; break;
      case 2:
      case 3: lockKind = LOCK_SH; break;
      default: lockKind = 0; break;
    }
  }
  // Without Unbuffered, QFile keeps its own read-ahead; that is what the readers want.
  if (!open(openMode)) {
    const int error = errno;
    throw EAuException(error != 0 ? SystemMessage(error) : errorString());
  }
  if (lockKind != 0) {
    if (::flock(handle(), lockKind | LOCK_NB) != 0) {
      const int error = errno;
      QFile::close();
      throw EAuException(SystemMessage(error));
    }
    locked_ = true;
  }
}

TAuFileStream::~TAuFileStream() { close(); }

void TAuFileStream::close() {
  if (locked_ && isOpen()) ::flock(handle(), LOCK_UN);
  locked_ = false;
  QFile::close();
}

}  // namespace trackmill
