#include "jobs/OutputTagger.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

#include "jobs/CoverImage.h"
#include "jobs/DiscTags.h"
#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"

namespace trackmill {
namespace {

bool TakesFullTags(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("mp3") || suffix == QLatin1String("ogg") || suffix == QLatin1String("flac") ||
         suffix == QLatin1String("wma");
}

void FillDiscFields(TrackTags& tags, const JobItem& track) {
  const DiscInfo& disc = *track.disc;
  const int cdTrack = track.track;
  tags.title = track.title;
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

TOutputTagger::TOutputTagger(const TSettings& settings, QString discFolder)
    : settings_(settings), discFolder_(std::move(discFolder)) {
  measuring_.setMaxThreadCount(1);
}

TOutputTagger::~TOutputTagger() {
  measuring_.clear();
  measuring_.waitForDone();
}

void TOutputTagger::MeasureAhead(const QString& output, const QString& sourceWav) {
  if (settings_.ReplayGainMode == kReplayGainOff || !TakesFullTags(output) || ahead_.count(sourceWav)) return;
  ahead_[sourceWav] = QtConcurrent::run(&measuring_, [sourceWav] { return TReplayGainMeter::Measure(sourceWav); });
}

std::optional<GainAndPeak> TOutputTagger::TrackGain(const QString& sourceWav) {
  const auto ahead = ahead_.find(sourceWav);
  if (ahead == ahead_.end()) return meter_.MeasureTrack(sourceWav);
  std::shared_ptr<TReplayGainMeter::TrackState> track = ahead->second.result();
  ahead_.erase(ahead);
  return meter_.AddTrack(std::move(track));
}

const QByteArray& TOutputTagger::DiscCover(const QString& identifier) {
  if (cover_) return *cover_;
  cover_.emplace();
  QFile file(DiscCoverPath(identifier));
  if (identifier.isEmpty() || !file.open(QIODevice::ReadOnly)) return *cover_;
  *cover_ = FittedCoverJpeg(file.readAll(), settings_.CoverMaxEdge);
  // Beside the tracks once per job; one the user put there stays.
  const QString beside = QDir(discFolder_).filePath(QStringLiteral("cover.jpg"));
  if (settings_.CoverPlacement != kCoverEmbedded && !cover_->isEmpty() && !QFile::exists(beside)) {
    QSaveFile copy(beside);
    if (copy.open(QIODevice::WriteOnly) && copy.write(*cover_) == cover_->size()) copy.commit();
  }
  return *cover_;
}

QString TOutputTagger::TagFinishedFile(const JobItem& item, const QString& sourceWav) {
  const TSettings& settings = settings_;
  const QString& output = item.output;
  if (!TakesFullTags(output)) return {};
  TrackTags tags;
  // A lossless rip keeps what is known of the disc whatever the MP3 tag setting says.
  const bool discTags = item.disc && (settings.UseID3 || QFileInfo(output).suffix().toLower() == QLatin1String("flac"));
  if (discTags) {
    FillDiscFields(tags, item);
    if (QFileInfo(output).suffix().toLower() == QLatin1String("mp3"))
      tags.id3v1Block = DiscId3v1Tag(item).RenderBlock();
    if (settings.UseCoverArt) {
      const QByteArray& cover = DiscCover(item.disc->Identifier);
      if (settings.CoverPlacement != kCoverFile) tags.coverJpeg = cover;
    }
  }
  if (settings.ReplayGainMode != kReplayGainOff) tags.trackGain = TrackGain(sourceWav);
  if (!discTags && !tags.trackGain) return {};
  QString error;
  if (!WriteFullTags(output, tags, &error)) return error;
  tagged_ << output;
  return {};
}

QString TOutputTagger::FinishAlbum() {
  QStringList failures;
  const std::optional<GainAndPeak> album = meter_.Album();
  if (settings_.ReplayGainMode == kReplayGainAlbum && album) {
    for (const QString& file : tagged_) {
      QString error;
      if (!WriteAlbumGain(file, *album, &error)) failures << error;
    }
  }
  tagged_.clear();
  measuring_.clear();
  ahead_.clear();  // a stopped job's; a measurement under way ends on its own
  meter_.Clear();
  return failures.join(u'\n');
}

}  // namespace trackmill
