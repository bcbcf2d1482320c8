#pragma once
#include <QByteArray>
#include <QString>

// File utilities shared by the job runner, the recorder and the stores. Thread-safe.
namespace trackmill {

// True when the file exists and cannot be opened for reading and writing, or another
// process holds an exclusive lock on it (as our writers do).
bool IsFileInUse(const QString& path);
// Appends '/' to a non-empty folder name that lacks one.
QString IncludeTrailingSeparator(const QString& folder);
// Size in bytes of the file found by a directory search, -1 when absent (or not a file).
qint64 FileSizeBySearch(const QString& path);
// Replaces the file's content in one step: the bytes go to a temporary file beside it, which
// is then renamed over the target. On failure the old file is untouched and false is returned.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
// Renames from to to in one step, replacing a file there (within one file system); false, with
// both untouched, on failure.
bool ReplaceFile(const QString& from, const QString& to);

}  // namespace trackmill
