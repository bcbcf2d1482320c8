#pragma once
#include <QFile>
#include <QString>

// TAuFileStream: a file opened by name with an access and sharing mode.
//
// Mode kAuCreate (0xFFFF) creates or empties the file for reading and writing with no
// sharing; it is emptied only once locked. Any other mode opens an existing file, never
// emptying it: access from the low two bits (read, write,
// read-write), sharing from bits 4..7. Sharing is carried by advisory locks (flock) so that
// the file-in-use test and other Trackmill processes see it: "none" takes an exclusive lock,
// "others may read" or "others may write" a shared one, "others may read and write" none.
// A file that cannot be opened (or locked) raises EAuException with the system's message.
// Closing (or destroying) releases the lock. Not thread-safe; one owner at a time.
namespace trackmill {

constexpr quint16 kAuCreate = 0xFFFF;
constexpr quint16 kAuOpenRead = 0x0000;
constexpr quint16 kAuOpenWrite = 0x0001;
constexpr quint16 kAuOpenReadWrite = 0x0002;
constexpr quint16 kAuShareExclusive = 0x0010;
constexpr quint16 kAuShareDenyWrite = 0x0020;
constexpr quint16 kAuShareDenyRead = 0x0030;
constexpr quint16 kAuShareDenyNone = 0x0040;

class TAuFileStream : public QFile {
  Q_OBJECT
 public:
  TAuFileStream(const QString& fileName, quint16 mode);
  ~TAuFileStream() override;
  void close() override;

 private:
  bool locked_ = false;
};

}  // namespace trackmill
