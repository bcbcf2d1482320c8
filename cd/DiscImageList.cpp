// The disc images the user offered as drives (DriveTypes.h).
#include <QMutex>
#include <QMutexLocker>

#include "cd/DriveTypes.h"

namespace trackmill {
namespace {

struct ImageList {
  QMutex lock;  // guards paths
  QStringList paths;
};

ImageList& TheImages() {
  static ImageList images;
  return images;
}

}  // namespace

void AddDiscImage(const QString& path) {
  ImageList& list = TheImages();
  QMutexLocker guard(&list.lock);
  if (!list.paths.contains(path)) list.paths << path;
}

QStringList DiscImages() {
  ImageList& list = TheImages();
  QMutexLocker guard(&list.lock);
  return list.paths;
}

void ClearDiscImages() {
  ImageList& list = TheImages();
  QMutexLocker guard(&list.lock);
  list.paths.clear();
}

}  // namespace trackmill
