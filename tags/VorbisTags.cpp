#include "tags/VorbisTags.h"

namespace trackmill {

TVorbisTags::TVorbisTags() {
  for (const char* key : {"album", "artist", "date", "genre", "title", "tracknumber", "discnumber",
                          "replaygain_reference_loudness", "replaygain_track_gain",
                          "replaygain_track_peak", "replaygain_album_gain", "replaygain_album_peak"})
    AddKey(QString::fromLatin1(key));
}

}  // namespace trackmill
