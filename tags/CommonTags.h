#pragma once
#include "tags/AuTags.h"

namespace trackmill {

// Format-neutral tag container that every tagged file input fills from its own scheme: keys
// "Album", "Artist", "Genre", "Title", "Track", "Year", each starting as an empty 8-bit string.
// No file format of its own (the base file operations). See TAuTags for the contract.
class TCommonTags : public TAuTags {
 public:
  TCommonTags();

  QString Artist() const { return AsWideString(QStringLiteral("Artist")); }
  void SetArtist(const QString& text) { SetValue(QStringLiteral("Artist"), TagValue::Wide(text)); }
  QString Title() const { return AsWideString(QStringLiteral("Title")); }
  void SetTitle(const QString& text) { SetValue(QStringLiteral("Title"), TagValue::Wide(text)); }
  QString Album() const { return AsWideString(QStringLiteral("Album")); }
  void SetAlbum(const QString& text) { SetValue(QStringLiteral("Album"), TagValue::Wide(text)); }
  QString Genre() const { return AsWideString(QStringLiteral("Genre")); }
  void SetGenre(const QString& text) { SetValue(QStringLiteral("Genre"), TagValue::Wide(text)); }
  QByteArray Year() const { return AsString(QStringLiteral("Year")); }
  void SetYear(const QString& text) { SetValue(QStringLiteral("Year"), TagValue::Ansi(text)); }
  QByteArray Track() const { return AsString(QStringLiteral("Track")); }
  void SetTrack(const QString& text) { SetValue(QStringLiteral("Track"), TagValue::Ansi(text)); }
};

}  // namespace trackmill
