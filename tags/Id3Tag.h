#pragma once
#include <QString>
#include <QtGlobal>

namespace trackmill {

// Reader and writer of the ID3 version 1 and 1.1 tag: the 128-byte block at the very end of
// an MP3 file. Text is ISO-8859-1 in the file; characters outside it are written as "?".
//
// One object per tag being worked on; the fields are plain and may be read and assigned
// directly (Genre is assigned directly by callers). Each operation opens and closes its file
// itself. Objects share nothing, so different objects may be used on different threads at
// the same time; one object is used by one thread at a time.
//
// ReadTag and WriteTag return a 16-bit status word: the high byte an error code, the low byte
// flags; any value below 256 is a success. ReadTag leaves the tag fields untouched when it
// finds no tag or fails before reading the block.
class Tid3tag {
 public:
  static constexpr quint16 kOk = 0;
  static constexpr quint16 kUnknownGenre = 0x0080;  // read: genre byte above 147 and not 255
  static constexpr quint16 kOpenFailed = 0x0100;    // no such file, or it could not be opened
  static constexpr quint16 kReadOnly = 0x0200;      // write: the file is not writable
  static constexpr quint16 kReadError = 0x0300;
  static constexpr quint16 kWriteError = 0x0400;
  static constexpr quint16 kIoError = 0x0500;
  static constexpr quint16 kNoTag = 0x1000;  // shorter than 128 bytes or no "TAG" block
  static constexpr bool IsSuccess(quint16 status) { return status < 0x0100; }

  static constexpr int kTextLength = 30;  // title, artist, album, comment
  static constexpr int kYearLength = 4;

  // Reads the block at the end of the file. On success fills the text fields, Genre, Track
  // and HasTrack. Sets ReadOnlyFile from the file's permissions and remembers the file in
  // FileName as soon as it is open.
  quint16 ReadTag(const QString& fileName);
  // Fills the fields from a file's last 128 bytes as ReadTag does (FileName and ReadOnlyFile
  // stay): kNoTag, fields untouched, unless they are a block beginning with "TAG".
  quint16 ReadBlock(const QByteArray& block);
  // The 128-byte block that WriteTag puts at the end of the file.
  QByteArray RenderBlock() const;
  // Writes the block over an existing one at the end of the file, or appends it. "=" stands
  // for the remembered FileName. The file must exist, be a regular file and be writable;
  // it is locked against other writers while the block is written. Remembers the name on
  // success.
  quint16 WriteTag(const QString& fileName);
  // Cuts an existing block off the remembered file; reports nothing.
  void RemoveTag() { RemoveTagReporting(); }
  // RemoveTag with a status: kOk when a block was cut off, kNoTag when there was none, or the
  // error codes of WriteTag.
  quint16 RemoveTagReporting();

  // Text setters keep at most 30 characters (the year at most 4).
  void SetTitle(const QString& text) { Title = text.left(kTextLength); }
  void SetArtist(const QString& text) { Artist = text.left(kTextLength); }
  void SetAlbum(const QString& text) { Album = text.left(kTextLength); }
  void SetComment(const QString& text) { Comment = text.left(kTextLength); }
  void SetYear(const QString& text) { Year = text.left(kYearLength); }
  // A track of 0 means none: the next write uses the 1.0 layout with a 30-byte comment.
  void SetTrack(quint8 track) {
    Track = track;
    HasTrack = track != 0;
  }

  bool HasTrack = false;      // the block uses the 1.1 layout (a track byte is present)
  bool ReadOnlyFile = false;  // the file last read is not writable by this user
  QString FileName;           // the file last read or last written successfully
  QString Title;
  QString Artist;
  QString Album;
  QString Year;
  QString Comment;
  quint8 Genre = 255;  // genre number, 255 = none
  quint8 Track = 0;    // 0 = none
};

}  // namespace trackmill
