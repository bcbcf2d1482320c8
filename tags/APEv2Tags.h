#pragma once
#include "tags/AuTags.h"

namespace trackmill {

// Tag container of the APEv2 scheme: 25 keys, all unassigned at first. Wide properties read
// and store wide strings; 8-bit ones (ISBN, ISRC, BarCode, LabelCode, Catalog, Year,
// RecordDate, Track) ISO-8859-1 strings. No file format of its own (the base file
// operations). See TAuTags for the contract.
class TAPEv2Tags : public TAuTags {
 public:
  TAPEv2Tags();

#define TRACKMILL_APE_WIDE(Name, key)                                          \
  QString Name() const { return AsWideString(QStringLiteral(key)); }           \
  void Set##Name(const QString& text) { SetValue(QStringLiteral(key), TagValue::Wide(text)); }
#define TRACKMILL_APE_ANSI(Name, key)                                          \
  QByteArray Name() const { return AsString(QStringLiteral(key)); }            \
  void Set##Name(const QString& text) { SetValue(QStringLiteral(key), TagValue::Ansi(text)); }
  TRACKMILL_APE_WIDE(Artist, "Artist")
  TRACKMILL_APE_WIDE(Composer, "Composer")
  TRACKMILL_APE_WIDE(Album, "Album")
  TRACKMILL_APE_WIDE(DebutAlbum, "Debut album")
  TRACKMILL_APE_WIDE(Publisher, "Publisher")
  TRACKMILL_APE_WIDE(Conductor, "Conductor")
  TRACKMILL_APE_WIDE(Copyright, "Copyright")
  TRACKMILL_APE_ANSI(ISBN, "ISBN")
  TRACKMILL_APE_ANSI(ISRC, "ISRC")
  TRACKMILL_APE_ANSI(BarCode, "EAN/UPC")
  TRACKMILL_APE_ANSI(LabelCode, "LC")
  TRACKMILL_APE_ANSI(Catalog, "Catalog")
  TRACKMILL_APE_WIDE(Language, "Language")
  TRACKMILL_APE_WIDE(Genre, "Genre")
  TRACKMILL_APE_ANSI(RecordDate, "Record Date")
  TRACKMILL_APE_WIDE(RecordLocation, "Record Location")
  TRACKMILL_APE_WIDE(File, "File")
  TRACKMILL_APE_WIDE(Related, "Related")
  TRACKMILL_APE_WIDE(Abstract, "Abstract")
  TRACKMILL_APE_WIDE(Bibliography, "Bibliography")
  TRACKMILL_APE_ANSI(Track, "Track")
  TRACKMILL_APE_WIDE(Title, "Title")
  TRACKMILL_APE_WIDE(SubTitle, "Subtitle")
  TRACKMILL_APE_WIDE(Comment, "Comment")
#undef TRACKMILL_APE_WIDE
#undef TRACKMILL_APE_ANSI

  // Read as wide text and narrowed to ISO-8859-1.
  QByteArray Year() const { return ToLatin1Text(AsWideString(QStringLiteral("Year"))); }
  void SetYear(const QString& text) { SetValue(QStringLiteral("Year"), TagValue::Ansi(text)); }
};

}  // namespace trackmill
