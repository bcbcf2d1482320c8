#pragma once
#include "tags/AuTags.h"

namespace trackmill {

// Tag container of the ID3v1 scheme: keys "album", "artist", "comment", "genre", "title",
// "track", "year"; "genre" starts as the number 12, the others unassigned. Texts are 8-bit
// (ISO-8859-1). File operations read and write the 128-byte block at the end of an open
// device (see TAuTags for the general contract).
class TId3v1Tags : public TAuTags {
 public:
  TId3v1Tags();

  QByteArray Title() const { return AsString(QStringLiteral("title")); }
  void SetTitle(const QString& text) { SetValue(QStringLiteral("title"), TagValue::Ansi(text)); }
  // The stored value when it is text, else empty.
  QByteArray Artist() const;
  void SetArtist(const QString& text) { SetValue(QStringLiteral("artist"), TagValue::Ansi(text)); }
  QByteArray Album() const { return AsString(QStringLiteral("album")); }
  void SetAlbum(const QString& text) { SetValue(QStringLiteral("album"), TagValue::Ansi(text)); }
  quint16 Year() const { return static_cast<quint16>(AsInteger(QStringLiteral("year"))); }
  void SetYear(quint16 year) { SetValue(QStringLiteral("year"), TagValue::Integer(year)); }
  QByteArray Comment() const { return AsString(QStringLiteral("comment")); }
  void SetComment(const QString& text) { SetValue(QStringLiteral("comment"), TagValue::Ansi(text)); }
  quint8 Track() const { return static_cast<quint8>(AsInteger(QStringLiteral("track"))); }
  void SetTrack(quint8 track) { SetValue(QStringLiteral("track"), TagValue::Integer(track)); }
  // The stored genre number; 12 ("Other") when it is not 0..147.
  quint8 GenreId() const;
  void SetGenreId(quint8 genre) { SetValue(QStringLiteral("genre"), TagValue::Integer(genre)); }
  // Name of GenreId(). Setting compares the trimmed text with the genre names without regard
  // to case and stores the first match; an unknown name changes nothing.
  QByteArray Genre() const;
  void SetGenre(const QString& name);

  // Whether the device's last 128 bytes begin with "TAG"; the position is kept.
  bool HasTagAt(QIODevice* device) override;
  // Clears, then reads the block at the end of the device.
  bool ReadFromHandle(QIODevice* device, bool* hadBlock);
  bool ReadFromHandle(QIODevice* device) override { return ReadFromHandle(device, nullptr); }
  // Appends one block at the end of the device (an existing block is not looked for). True
  // only when all 128 bytes were written.
  bool WriteToHandle(QIODevice* device, bool allowUnicode) override;
};

}  // namespace trackmill
