#include "app/shell/DroppedFiles.h"

#include <QFileInfo>

namespace trackmill {
namespace {

DroppedFiles::Kind KindOfFile(const QFileInfo& file) {
  const QString suffix = file.suffix().toLower();
  if (suffix == u"wav") return DroppedFiles::Kind::WavFiles;
  if (suffix == u"mp3") return DroppedFiles::Kind::Mp3Files;
  // The image kinds the "open disc image" command lists.
  if (suffix == u"cue" || suffix == u"toc" || suffix == u"nrg") return DroppedFiles::Kind::DiscImage;
  return DroppedFiles::Kind::Refused;
}

}  // namespace

DroppedFiles ClassifyDroppedFiles(const QList<QUrl>& urls) {
  DroppedFiles dropped;
  for (const QUrl& url : urls) {
    const QFileInfo file(url.toLocalFile());
    const DroppedFiles::Kind kind = url.isLocalFile() && file.isFile() ? KindOfFile(file) : DroppedFiles::Kind::Refused;
    if (kind == DroppedFiles::Kind::Refused || (!dropped.paths.isEmpty() && kind != dropped.kind)) return {};
    dropped.kind = kind;
    dropped.paths << file.absoluteFilePath();
  }
  if (dropped.kind == DroppedFiles::Kind::DiscImage && dropped.paths.size() != 1) return {};
  return dropped;
}

}  // namespace trackmill
