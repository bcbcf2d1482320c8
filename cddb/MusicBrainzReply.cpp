#include "cddb/MusicBrainzReply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tags/Id3Genres.h"

namespace trackmill {
namespace {

// "name" + "joinphrase" of every credited artist, in order.
QString CreditText(const QJsonValue& credit) {
  QString text;
  for (const QJsonValue& part : credit.toArray()) {
    const QJsonObject object = part.toObject();
    text += object.value(QLatin1String("name")).toString();
    text += object.value(QLatin1String("joinphrase")).toString();
  }
  return text.trimmed();
}

bool HoldsDisc(const QJsonObject& medium, const QString& discId) {
  for (const QJsonValue& disc : medium.value(QLatin1String("discs")).toArray())
    if (disc.toObject().value(QLatin1String("id")).toString() == discId) return true;
  return false;
}

QJsonObject MediumForDisc(const QJsonArray& media, const QString& discId, int trackCount) {
  for (const QJsonValue& medium : media)
    if (!discId.isEmpty() && HoldsDisc(medium.toObject(), discId)) return medium.toObject();
  for (const QJsonValue& medium : media) {
    const QJsonObject object = medium.toObject();
    if (object.value(QLatin1String("track-count")).toInt(-1) == trackCount) return object;
  }
  return {};
}

QString GenreOf(const QJsonObject& release) {
  QString best;
  int bestCount = -1;
  for (const QJsonValue& genre : release.value(QLatin1String("genres")).toArray()) {
    const QJsonObject object = genre.toObject();
    const QString name = object.value(QLatin1String("name")).toString();
    const int count = object.value(QLatin1String("count")).toInt(0);
    if (count > bestCount && GenreByName(name) >= 0) {
      best = GenreName(GenreByName(name));
      bestCount = count;
    }
  }
  return best;
}

MusicBrainzRelease ReleaseOf(const QJsonObject& object, const QString& discId, int trackCount) {
  MusicBrainzRelease release;
  release.id = object.value(QLatin1String("id")).toString();
  release.title = object.value(QLatin1String("title")).toString();
  release.artist = CreditText(object.value(QLatin1String("artist-credit")));
  release.date = object.value(QLatin1String("date")).toString();
  release.country = object.value(QLatin1String("country")).toString();
  release.barcode = object.value(QLatin1String("barcode")).toString();
  release.hasFrontCover =
      object.value(QLatin1String("cover-art-archive")).toObject().value(QLatin1String("front")).toBool();
  release.genre = GenreOf(object);
  const QJsonObject medium =
      MediumForDisc(object.value(QLatin1String("media")).toArray(), discId, trackCount);
  for (const QJsonValue& value : medium.value(QLatin1String("tracks")).toArray()) {
    const QJsonObject track = value.toObject();
    MusicBrainzTrack entry;
    entry.position = track.value(QLatin1String("position")).toInt(0);
    entry.title = track.value(QLatin1String("title")).toString();
    entry.artist = CreditText(track.value(QLatin1String("artist-credit")));
    if (entry.position > 0) release.tracks.push_back(entry);
  }
  return release;
}

}  // namespace

MusicBrainzReply ParseMusicBrainzReply(const QByteArray& json, const QString& discId, int trackCount) {
  MusicBrainzReply reply;
  const QJsonDocument document = QJsonDocument::fromJson(json);
  const QJsonValue releases = document.object().value(QLatin1String("releases"));
  if (!releases.isArray()) return reply;
  reply.valid = true;
  for (const QJsonValue& release : releases.toArray())
    if (release.isObject()) reply.releases.push_back(ReleaseOf(release.toObject(), discId, trackCount));
  return reply;
}

}  // namespace trackmill
