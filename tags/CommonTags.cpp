#include "tags/CommonTags.h"

namespace trackmill {

TCommonTags::TCommonTags() {
  for (const char* key : {"Title", "Album", "Artist", "Genre", "Year", "Track"})
    AddKey(QString::fromLatin1(key), TagValue::Ansi(QByteArray()));
}

}  // namespace trackmill
