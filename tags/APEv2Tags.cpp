#include "tags/APEv2Tags.h"

namespace trackmill {

TAPEv2Tags::TAPEv2Tags() {
  for (const char* key :
       {"Artist", "Composer", "Album", "Debut album", "Publisher", "Conductor", "Copyright", "ISBN",
        "ISRC", "EAN/UPC", "LC", "Catalog", "Language", "Genre", "Year", "Record Date",
        "Record Location", "File", "Related", "Abstract", "Bibliography", "Track", "Title",
        "Subtitle", "Comment"})
    AddKey(QString::fromLatin1(key));
}

}  // namespace trackmill
