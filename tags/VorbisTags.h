#pragma once
#include "tags/AuTags.h"

namespace trackmill {

// Tag container of Vorbis comments: 12 keys, all unassigned at first, every property a wide
// string. The Vorbis library carries the comments to and from files (see VorbisComments.h);
// no file format of its own. See TAuTags for the contract.
class TVorbisTags : public TAuTags {
 public:
  TVorbisTags();

#define TRACKMILL_VORBIS_PROPERTY(Name, key)                                   \
  QString Name() const { return AsWideString(QStringLiteral(key)); }           \
  void Set##Name(const QString& text) { SetValue(QStringLiteral(key), TagValue::Wide(text)); }
  TRACKMILL_VORBIS_PROPERTY(Album, "album")
  TRACKMILL_VORBIS_PROPERTY(Artist, "artist")
  TRACKMILL_VORBIS_PROPERTY(Date, "date")
  TRACKMILL_VORBIS_PROPERTY(Genre, "genre")
  TRACKMILL_VORBIS_PROPERTY(Title, "title")
  TRACKMILL_VORBIS_PROPERTY(Track, "tracknumber")
  TRACKMILL_VORBIS_PROPERTY(Disc, "discnumber")
  TRACKMILL_VORBIS_PROPERTY(Reference, "replaygain_reference_loudness")
  TRACKMILL_VORBIS_PROPERTY(TrackGain, "replaygain_track_gain")
  TRACKMILL_VORBIS_PROPERTY(TrackPeak, "replaygain_track_peak")
  TRACKMILL_VORBIS_PROPERTY(AlbumGain, "replaygain_album_gain")
  TRACKMILL_VORBIS_PROPERTY(AlbumPeak, "replaygain_album_peak")
#undef TRACKMILL_VORBIS_PROPERTY
};

}  // namespace trackmill
