#pragma once
#include <QByteArray>

// The disc's front cover as the settings want it in files and beside them: an image whose
// longer edge exceeds maxEdge pixels is scaled down (smoothly, aspect kept) and stored again as
// JPEG; a smaller one, maxEdge 0, or bytes that are no image Qt reads are kept as they are.
// Pure; any thread (Qt's image classes need no display).
namespace trackmill {

inline constexpr int kDefaultCoverMaxEdge = 1200;

QByteArray FittedCoverJpeg(const QByteArray& jpeg, int maxEdge);

}  // namespace trackmill
