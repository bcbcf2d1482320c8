#pragma once
#include <QByteArray>
#include <QString>

// Which tag scheme a file takes, told by its content, not its name: the tag command writes
// each format's own tags and refuses a file it cannot tag. Pure function; any thread.
namespace trackmill {

enum class TagFileKind {
  Mp3,        // MPEG audio frames (after any ID3v2 tag): ID3v1 and ID3v2
  Flac,       // "fLaC" (after any ID3v2 tag): Vorbis comments
  OggVorbis,  // an Ogg stream of Vorbis audio: Vorbis comments
  Other,      // anything else, an empty file included
};

// The kind of a file's bytes (as ReadTaggedFile gives them: bounded, so TagLib may read them).
TagFileKind TagFileKindOf(const QByteArray& content);

// The kind that a file's name promises (".mp3", ".flac", ".ogg", ".oga", any case), Other when
// it promises none, and the kind's name for messages ("MP3", "FLAC", "Ogg Vorbis").
TagFileKind TagFileKindByName(const QString& path);
QString TagFileKindName(TagFileKind kind);

}  // namespace trackmill
