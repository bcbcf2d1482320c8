#include "jobs/OutputTagger.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"

namespace trackmill {
namespace {

bool TakesFullTags(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("mp3") || suffix == QLatin1String("ogg") || suffix == QLatin1String("flac");
}

void FillDiscFields(TrackTags& tags, int cdTrack, const QString& title) {
  const DiscInfo& disc = Settings().Disc;
  tags.title = title;
  tags.albumArtist = disc.Artist;
  tags.artist = disc.Artist;
  if (cdTrack >= 1 && cdTrack <= kDiscTitleSlots && !disc.TrackArtists[size_t(cdTrack - 1)].isEmpty())
    tags.artist = disc.TrackArtists[size_t(cdTrack - 1)];
  tags.album = disc.Album;
  tags.year = disc.Year;
  tags.genre = GenreName(ListIndexToGenre(disc.Genre));
  tags.comment = disc.Comment;
  tags.track = cdTrack;
  // A record made without a disc in view claims all 100 slots: the count is then unknown.
  if (disc.TrackNumber >= cdTrack && disc.TrackNumber < kDiscTitleSlots) tags.trackTotal = disc.TrackNumber;
}

}  // namespace

QString TOutputTagger::TagFinishedFile(const QString& output, const QString& sourceWav, int cdTrack,
                                       const QString& title) {
  const TSettings& settings = Settings();
  if (!TakesFullTags(output)) return {};
  TrackTags tags;
  // A lossless rip keeps what is known of the disc whatever the MP3 tag setting says.
  const bool discTags = cdTrack > 0 && (settings.UseID3 || QFileInfo(output).suffix().toLower() == QLatin1String("flac"));
  if (discTags) {
    FillDiscFields(tags, cdTrack, title);
    const QString cover = DiscCoverPath(settings.Disc.Identifier);
    if (settings.UseCoverArt && !cover.isEmpty() && QFile::exists(cover)) {
      QFile file(cover);
      if (file.open(QIODevice::ReadOnly)) tags.coverJpeg = file.readAll();
      const QString beside = QFileInfo(output).dir().filePath(QStringLiteral("cover.jpg"));
      if (!coverKept_ && !QFile::exists(beside)) QFile::copy(cover, beside);
      coverKept_ = true;
    }
  }
  if (settings.ReplayGainMode != kReplayGainOff) tags.trackGain = meter_.MeasureTrack(sourceWav);
  if (!discTags && !tags.trackGain) return {};
  QString error;
  if (!WriteFullTags(output, tags, &error)) return error;
  tagged_ << output;
  return {};
}

QString TOutputTagger::FinishAlbum() {
  QStringList failures;
  const std::optional<GainAndPeak> album = meter_.Album();
  if (Settings().ReplayGainMode == kReplayGainAlbum && album) {
    for (const QString& file : tagged_) {
      QString error;
      if (!WriteAlbumGain(file, *album, &error)) failures << error;
    }
  }
  tagged_.clear();
  meter_.Clear();
  return failures.join(u'\n');
}

}  // namespace trackmill
