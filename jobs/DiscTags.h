#pragma once
#include <QString>

#include "audio/codecs/FlacOut.h"
#include "settings/Settings.h"

// The tags a ripped CD track gets from the disc fields (artist, album, year, genre, comment)
// and its own title and track number. Shared by the job runner and the fallback rip.
namespace trackmill {

// Writes an ID3v1 tag into the MP3; returns the tag code's status word (below 256: success).
quint16 WriteDiscId3Tag(const DiscInfo& disc, const QString& mp3, const QString& title, int trackNo);

// Vorbis comments (Ogg Vorbis, FLAC) of the track; empty fields are left out.
FlacComments DiscComments(const DiscInfo& disc, const QString& title, int trackNo);

}  // namespace trackmill
