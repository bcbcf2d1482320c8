#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// Named fields of the Vorbis comments in a FLAC or an Ogg Vorbis file, for the tag command:
// read, changed or removed one by one, every other comment, picture and stream byte kept. The
// file's kind is told by its content (TagFileKind.h). Edits replace the file whole as
// TagFileEdit.h says, and reads are bounded the same way. Reentrant; a file is edited by one
// caller at a time. Failures return false with a reason that begins with the file's name.
namespace trackmill {

// (comment name, text) pairs; an empty text removes the field.
using VorbisFieldChanges = std::vector<std::pair<QByteArray, QString>>;

// The first value of each named field, "" for a field the file does not have.
bool ReadVorbisFields(const QString& path, const QList<QByteArray>& names, QStringList* values, QString* error);
// Sets each field to its one text (or removes it).
bool ChangeVorbisFields(const QString& path, const VorbisFieldChanges& changes, QString* error);
// Removes the named fields; *removed says whether the file had any. A file also loses an
// ID3v1 block at its end, which neither format has a place for (older versions of the tag
// command appended one): in an Ogg file only when it follows the last whole page. A file with
// nothing to remove is not rewritten.
bool RemoveVorbisFields(const QString& path, const QList<QByteArray>& names, bool* removed, QString* error);

}  // namespace trackmill
