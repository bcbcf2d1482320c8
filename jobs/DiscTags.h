#pragma once
#include <QString>

#include "audio/FlacOut.h"

// The tags a ripped CD track gets from the disc fields of the settings (artist, album, year,
// genre, comment) and its own title and track number. Shared by the job runner and the
// fallback rip. Main thread only (reads Settings()).
namespace trackmill {

// Writes an ID3v1 tag into the MP3; returns the tag code's status word (below 256: success).
quint16 WriteDiscId3Tag(const QString& mp3, const QString& title, int trackNo);

// Vorbis comments (Ogg Vorbis, FLAC) of the track; empty fields are left out.
FlacComments DiscComments(const QString& title, int trackNo);

}  // namespace trackmill
