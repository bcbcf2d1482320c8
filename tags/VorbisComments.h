#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>

namespace trackmill {

class TCommonTags;
class TVorbisTags;

// The mapping between Vorbis comments ("NAME=value", UTF-8) and the tag containers, used by
// the Ogg Vorbis input and output. Pure functions; no I/O.

// Clears the container, then stores the UTF-8-decoded value of every comment named (without
// regard to case) artist, album, title, date, genre or tracknumber; the name ends at the first
// "=". Other comments, and comments without "=", are ignored.
void ReadVorbisComments(const QList<QByteArray>& comments, TVorbisTags& tags);

// Clears the common set, then copies Artist, Album, Title and Genre, Year from Date and Track
// from Track.
void CopyVorbisToCommon(const TVorbisTags& vorbis, TCommonTags& common);

// The comments to write, as (name, value) in UTF-8, one per key in key order whose value is
// not empty.
QList<QPair<QByteArray, QByteArray>> VorbisCommentsToWrite(const TVorbisTags& tags);

}  // namespace trackmill
