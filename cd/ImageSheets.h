#pragma once
#include <cdio/cdio.h>

#include <QByteArray>
#include <QString>

// Disc image files as libcdio 2.1 can be given them: the text of cue sheets and cdrdao tables
// of contents, and opening an image.
namespace trackmill {

// The image driver for a file's suffix (.cue and .bin, .toc, .nrg); DRIVER_UNKNOWN otherwise.
driver_id_t ImageDriver(const QString& path);

// Opens an image with libcdio (the caller owns the result; null on failure). A cdrdao table
// is read through a temporary copy as TocForReader makes it, removed once libcdio has read it.
// Does not check what ImageFitsReader checks.
CdIo_t* OpenDiscImage(const QString& path);

inline constexpr qint64 kMaxSheetBytes = 1024 * 1024;

// False for a sheet (cueSheet) or table whose track statements libcdio's readers would keep
// past their fixed arrays: more TRACK words than fit from its first track number to 99, or
// (cue sheets) a first track number above 66. The word TRACK (their keyword; they take no
// other case) is counted wherever it stands, which also counts it where they would not read
// it as a statement; the first track's number is the largest one after a TRACK up to the
// first that opens a short line.
bool SheetFitsReader(const QByteArray& text, bool cueSheet);

// The table of contents rewritten for libcdio's reader, so it reads what cdrdao wrote: data
// file names relative to the table's folder made absolute (libcdio looks them up from the
// working folder), and a LANGUAGE_MAP block spread over several lines, as cdrdao writes it,
// put on one line (libcdio refuses the whole table otherwise). Names with a backslash or a
// quote, and everything else, are kept as they are.
QByteArray TocForReader(const QByteArray& table, const QString& folder);

}  // namespace trackmill
