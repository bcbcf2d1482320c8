#include "cddb/MusicBrainzDisc.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "settings/DiscInfoStore.h"
#include "tags/Id3Genres.h"

namespace trackmill {

void ApplyMusicBrainzRelease(const MusicBrainzRelease& release, DiscInfo& disc, QStringList& rowTitles) {
  disc.Artist = release.artist;
  disc.Album = release.title;
  disc.Year = release.Year();
  if (const int genre = GenreByName(release.genre); genre >= 0) disc.Genre = GenreToListIndex(genre);
  disc.MusicBrainzRelease = release.id;
  disc.TrackArtists = {};
  for (const MusicBrainzTrack& track : release.tracks) {
    if (track.position < 1 || track.position > kDiscTitleSlots) continue;
    const auto slot = static_cast<size_t>(track.position - 1);
    disc.Titles[slot] = track.title;
    if (track.artist != release.artist) disc.TrackArtists[slot] = track.artist;
    if (track.position <= rowTitles.size()) rowTitles[track.position - 1] = track.title;
  }
}

MusicBrainzServers MusicBrainzServersFromSettings() {
  const TSettings& settings = Settings();
  MusicBrainzServers servers;
  servers.server = settings.MusicBrainzServer;
  servers.coverArtServer = settings.CoverArtServer;
  servers.contact = settings.MusicBrainzContact.isEmpty() ? settings.Email : settings.MusicBrainzContact;
  return servers;
}

bool StoreDiscCover(const QString& identifier, const QByteArray& jpeg) {
  const QString path = DiscCoverPath(identifier);
  if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size() && file.commit();
}

}  // namespace trackmill
