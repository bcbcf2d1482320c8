#include "jobs/JobPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <atomic>

#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/TextForms.h"
#include "jobs/FileNamePattern.h"
#include "tags/Id3Genres.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

QString FileJobExtension(int jobKind) {
  switch (jobKind) {
    case job_kind::kWavToMp3: case job_kind::kRecorderWavToMp3: return QStringLiteral(".mp3");
    case job_kind::kMp3ToWav: return QStringLiteral(".wav");
    case job_kind::kWavToOgg: return QStringLiteral(".ogg");
    case job_kind::kWavToWma: return QStringLiteral(".wma");
    case job_kind::kWavToFlac: return QStringLiteral(".flac");
    default: return {};
  }
}

// The stem cut at whole characters so that stem + suffix fit a file name's bytes.
QString Fitted(const QString& stem, const QString& suffix) { return FitFileName(stem, suffix).chopped(suffix.size()); }

// folder + stem + extension, numbered " (2)", " (3)"... until no earlier item has it.
QString DistinctPath(const QString& folder, const QString& stem, const QString& extension, QSet<QString>& taken,
                     QString* name) {
  QString candidate = Fitted(stem, extension);
  for (int n = 2; taken.contains(folder + candidate + extension); ++n) {
    const QString number = QStringLiteral(" (%1)").arg(n);
    candidate = Fitted(stem, number + extension) + number;
  }
  taken.insert(folder + candidate + extension);
  *name = candidate;
  return folder + candidate + extension;
}

TrackNameFields NameFieldsOf(const JobItem& item, const DiscInfo& disc, qint32 format) {
  TrackNameFields fields;
  fields.title = item.title;
  if (item.track >= 1 && item.track <= kDiscTitleSlots) fields.trackArtist = disc.TrackArtists[size_t(item.track - 1)];
  fields.albumArtist = disc.Artist;
  fields.album = disc.Album;
  fields.year = disc.Year;
  fields.genre = disc.Genre >= 0 ? GenreName(ListIndexToGenre(disc.Genre)) : QString();
  fields.format = QLatin1String(output_format::kExtensions[size_t(format)]);
  fields.track = item.track;
  if (disc.TrackNumber > 0 && disc.TrackNumber < kDiscTitleSlots) fields.trackTotal = disc.TrackNumber;
  fields.disc = disc.DiscNumber;
  fields.discTotal = disc.DiscTotal;
  return fields;
}

}  // namespace

QString PartFileName(const QString& finalPath) {
  static std::atomic<int> counter{0};
  const QFileInfo info(finalPath);
  const QString suffix = QStringLiteral(".%1-%2.part").arg(QCoreApplication::applicationPid()).arg(++counter);
  return info.dir().filePath('.' + Fitted(info.fileName(), '.' + suffix) + suffix);
}

QString KeptWavName(const JobItem& item) { return QFileInfo(item.output).dir().filePath(item.name + ".wav"); }

void PlanOutputs(JobItems& items, int jobKind, const TSettings& settings) {
  const QString folder = IncludeTrailingSeparator(settings.OutputFolder);
  const qint32 format = output_format::IsKnown(settings.OutputFormat) ? settings.OutputFormat : output_format::kWav;
  const auto disc = std::make_shared<const DiscInfo>(settings.Disc);
  QSet<QString> taken;
  for (JobItem& item : items) {
    if (jobKind == job_kind::kRipCd) {
      QStringList path = ExpandFileNamePattern(settings.FileNamePattern, NameFieldsOf(item, *disc, format));
      const QString stem = path.takeLast();
      const QString trackFolder = folder + (path.isEmpty() ? QString() : path.join(QLatin1Char('/')) + '/');
      const QString extension = '.' + QLatin1String(output_format::kExtensions[size_t(format)]);
      item.output = DistinctPath(trackFolder, stem, extension, taken, &item.name);
      item.wav = PartFileName(trackFolder + item.name + ".wav");
      item.disc = disc;
      continue;
    }
    const QFileInfo source(item.source);
    const QString target = jobKind == job_kind::kRecorderWavToMp3 ? IncludeTrailingSeparator(source.path()) : folder;
    item.output = DistinctPath(target, source.completeBaseName(), FileJobExtension(jobKind), taken, &item.name);
  }
}

QString CommonFolder(const QStringList& files) {
  if (files.isEmpty()) return {};
  QStringList common = QFileInfo(files.first()).absolutePath().split(QLatin1Char('/'));
  for (const QString& file : files) {
    const QStringList parts = QFileInfo(file).absolutePath().split(QLatin1Char('/'));
    qsizetype shared = 0;
    while (shared < common.size() && shared < parts.size() && common[shared] == parts[shared]) ++shared;
    common.resize(shared);
  }
  const QString joined = common.join(QLatin1Char('/'));
  return joined.isEmpty() ? QStringLiteral("/") : joined;
}

}  // namespace trackmill
