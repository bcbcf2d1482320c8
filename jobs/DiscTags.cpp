#include "jobs/DiscTags.h"

#include <algorithm>

#include "settings/Settings.h"
#include "tags/Id3Genres.h"
#include "tags/Id3Tag.h"

namespace trackmill {

Tid3tag DiscId3v1Tag(const JobItem& track) {
  const DiscInfo& disc = *track.disc;
  Tid3tag tag;
  tag.SetTitle(track.title);
  tag.SetArtist(disc.Artist);
  tag.SetAlbum(disc.Album);
  tag.SetYear(disc.Year);
  tag.Genre = ListIndexToGenre(disc.Genre);
  tag.SetComment(disc.Comment);
  tag.SetTrack(static_cast<quint8>(std::clamp(track.track, 0, 255)));
  return tag;
}

FlacComments DiscComments(const JobItem& track) {
  const DiscInfo& disc = *track.disc;
  FlacComments comments;
  auto add = [&comments](const char* name, const QString& value) {
    if (!value.isEmpty()) comments.append({QByteArray(name), value.toUtf8()});
  };
  add("ARTIST", disc.Artist);
  add("ALBUM", disc.Album);
  add("TITLE", track.title);
  add("DATE", disc.Year);
  add("GENRE", GenreName(ListIndexToGenre(disc.Genre)));
  if (track.track > 0) add("TRACKNUMBER", QString::number(track.track));
  if (disc.TrackNumber > 0 && disc.TrackNumber < kDiscTitleSlots)
    add("TRACKTOTAL", QString::number(disc.TrackNumber));
  return comments;
}

}  // namespace trackmill
