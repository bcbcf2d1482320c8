#include "jobs/CoverImage.h"

#include <QBuffer>
#include <QImage>

namespace trackmill {

QByteArray FittedCoverJpeg(const QByteArray& jpeg, int maxEdge) {
  if (maxEdge <= 0) return jpeg;
  const QImage image = QImage::fromData(jpeg);
  if (image.isNull() || std::max(image.width(), image.height()) <= maxEdge) return jpeg;
  QByteArray scaled;
  QBuffer buffer(&scaled);
  buffer.open(QIODevice::WriteOnly);
  if (!image.scaled(maxEdge, maxEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(&buffer, "JPEG", 90))
    return jpeg;
  return scaled;
}

}  // namespace trackmill
