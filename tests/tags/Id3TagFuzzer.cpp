// Tid3tag::ReadTag on arbitrary file content; a tag that reads must write back unchanged.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "tags/Id3Tag.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool SameFields(const trackmill::Tid3tag& a, const trackmill::Tid3tag& b) {
  return a.Title == b.Title && a.Artist == b.Artist && a.Album == b.Album && a.Year == b.Year &&
         a.Comment == b.Comment && a.Genre == b.Genre && a.Track == b.Track && a.HasTrack == b.HasTrack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Memory-backed when available: every run writes two small files.
  static QTemporaryDir dir(QFile::exists("/dev/shm") ? QStringLiteral("/dev/shm/id3tag-fuzz-XXXXXX")
                                                     : QDir::tempPath() + "/id3tag-fuzz-XXXXXX");
  static const QString input = dir.filePath("input.mp3");
  static const QString copy = dir.filePath("copy.mp3");
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (!WriteFile(input, bytes) || !WriteFile(copy, bytes)) return 0;

  trackmill::Tid3tag tag;
  const quint16 status = tag.ReadTag(input);
  if (!trackmill::Tid3tag::IsSuccess(status)) return 0;
  if (tag.WriteTag(copy) != trackmill::Tid3tag::kOk) abort();
  QFile written(copy);
  if (written.size() != static_cast<qint64>(size)) abort();  // overwritten in place
  trackmill::Tid3tag back;
  if (back.ReadTag(copy) != status || !SameFields(tag, back)) abort();
  return 0;
}
