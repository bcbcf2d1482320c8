#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

namespace TagLib {
class ByteVectorStream;
class IOStream;
}

// Reading a whole file for TagLib and replacing it with what an edit made of it, shared by the
// tag writers of tags/. Every read is bounded: by the file's size, by kMaxTaggedFileBytes, and
// by what its compressed ID3v2 frames would unpack to (Id3v2Unpacking.h), so no file makes a
// tag reader allocate without limit. Reentrant; a file is edited by one caller at a time.
// Failures return false with a reason that begins with the file's name.
namespace trackmill {

// Larger files are not tagged: TagLib's byte vectors count in 32 bits, and the file is held
// in memory twice while it is edited.
constexpr qint64 kMaxTaggedFileBytes = (qint64(1) << 31) - 1;

// Sets *error (when given) to text and returns false.
bool TagError(QString* error, const QString& text);

// The bytes of a regular file for a tag reader, within the bounds above.
bool ReadTaggedFile(const QString& path, QByteArray* content, QString* error);

// Reads the file as ReadTaggedFile does, lets edit change the bytes through a stream, and
// replaces the file whole with the result (its permissions kept), so a failure or a crash
// never leaves a half-written file. edit returns false to leave the file alone; a file the
// user may not write is left alone after edit has run (its changes are dropped).
bool EditInMemory(const QString& path, const std::function<bool(TagLib::ByteVectorStream*)>& edit, QString* error);

// The same bounds, checked on the file mapped rather than read, and then edit works on the
// file itself, so a tag written after an encode rewrites only what the tag needs (a large
// result is not copied whole). For the files the program has just made; the user's files go
// through EditInMemory.
bool EditInPlace(const QString& path, const std::function<bool(TagLib::IOStream*)>& edit, QString* error);

}  // namespace trackmill
