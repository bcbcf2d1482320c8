#include "jobs/JobPlan.h"

#include <QDir>
#include <QFileInfo>

#include "common/FileUtils.h"
#include "common/JobCodes.h"
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

}  // namespace

void PlanOutputs(JobItems& items, int jobKind, const TSettings& settings) {
  const QString folder = IncludeTrailingSeparator(settings.OutputFolder);
  const qint32 format = output_format::IsKnown(settings.OutputFormat) ? settings.OutputFormat : output_format::kWav;
  const auto disc = std::make_shared<const DiscInfo>(settings.Disc);
  for (JobItem& item : items) {
    if (jobKind == job_kind::kRipCd) {
      item.wav = folder + item.title + QStringLiteral(".wav");
      item.output = folder + item.title + '.' + QLatin1String(output_format::kExtensions[size_t(format)]);
      item.disc = disc;
      continue;
    }
    const QFileInfo source(item.source);
    const QString name = source.completeBaseName() + FileJobExtension(jobKind);
    item.output = jobKind == job_kind::kRecorderWavToMp3 ? source.dir().filePath(name) : folder + name;
  }
}

}  // namespace trackmill
