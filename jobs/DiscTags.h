#pragma once
#include <QString>

#include "audio/codecs/FlacOut.h"
#include "common/JobItem.h"
#include "tags/Id3Tag.h"

// The tags a ripped CD track gets from the disc fields it was planned with (artist, album,
// year, genre, comment) and its own title and track number. Shared by the job runner and the
// fallback rip. The item must be a planned CD track (its disc set).
namespace trackmill {

// The ID3v1 tag of the track's MP3.
Tid3tag DiscId3v1Tag(const JobItem& track);

// Vorbis comments (Ogg Vorbis, FLAC) of the track; empty fields are left out.
FlacComments DiscComments(const JobItem& track);

}  // namespace trackmill
