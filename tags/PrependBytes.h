#pragma once
#include <QByteArray>

class QIODevice;

namespace trackmill {

// Puts bytes in front of the whole content of an open, writable, random-access device and
// keeps its position (as an offset from the start). A QFile is never moved in place, so a
// crash or a full disk cannot leave it half rewritten: the new content goes to a temporary
// file beside it that is then renamed over it (keeping its permissions), and the QFile is
// reopened on the new file. Other devices are rewritten through memory. False on any failure;
// a QFile then keeps its old content.
bool PrependBytes(QIODevice* device, const QByteArray& bytes);

}  // namespace trackmill
