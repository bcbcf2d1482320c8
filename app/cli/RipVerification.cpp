#include "app/cli/RipVerification.h"

#include "app/cli/CommandLine.h"
#include "cd/CDDrive.h"
#include "cd/CDRipThread.h"
#include "common/TextForms.h"
#include "jobs/RipRecord.h"

namespace trackmill::cli {
namespace {

QStringList SettingLines() {
  const TSettings& s = Settings();
  QStringList lines;
  if (s.OutputFormat == output_format::kFlac)
    lines << QStringLiteral("FLAC compression level: %1").arg(s.FlacCompressionLevel);
  lines << (s.IsNormalize ? QStringLiteral("Normalizing: %1 %").arg(s.NormalizePercent)
                          : QStringLiteral("Normalizing: off"));
  if (s.EnableRipTime) lines << QStringLiteral("Extracted length limit: %1 s").arg(s.RipTime);
  return lines;
}

}  // namespace

int VerifyRip(const TJobRunner& job, TCDHandle handle, const VerifyOptions& options,
              const QStringList& errors, TOverwriteQuestion& question) {
  TTOC toc;
  if (ModifyCDParms(handle, kCDParmMsfAddresses, 1) == 0 || ReadTOC(handle, toc) != 1) {
    Fail(QStringLiteral("the table of contents could not be read again; no AccurateRip check, no log"));
    return options.requireAccurate ? 3 : 0;
  }
  RipRecord record;
  record.drive = DriveIdentity(handle);
  record.readOffset = ReadOffsetOf(handle);
  record.disc = DiscLayout::FromToc(toc);
  for (const DiscTrack& track : record.disc.tracks)
    record.pregapFrames.push_back(TrackPregapFrames(handle, track.number));
  record.discId = AccurateRipDiscId::Of(record.disc);
  record.info = Settings().Disc;
  record.outputFormat = OutputFormatName(Settings().OutputFormat);
  record.settings = SettingLines();
  record.errors = errors;
  record.lookedUp = options.lookUp;

  AccurateRipLookup lookup;
  if (options.lookUp) {
    lookup = LookUpAccurateRip(record.discId, {options.server});
    record.outcome = lookup.outcome;
    record.lookupDetail = lookup.detail;
  }
  int accurate = 0;
  for (int item = 0; item < job.ItemCount(); ++item) {
    RippedTrack track;
    const int index = SplitJobItem(job.Items().value(item)).trackNo - 1;
    if (index < 0 || index >= int(record.disc.tracks.size())) continue;
    track.number = record.disc.tracks[size_t(index)].number;
    track.file = job.ResultFile(item);
    track.result = job.ItemResults()[size_t(item)];
    track.sums = job.Checksums()[size_t(item)];
    int audioIndex = 0;
    for (int k = 0; k < index; ++k) audioIndex += record.disc.tracks[size_t(k)].data ? 0 : 1;
    track.verdict = JudgeTrack(lookup, audioIndex, track.sums);
    if (track.verdict.kind == AccurateRipVerdict::Kind::Accurate) ++accurate;
    if (options.lookUp && lookup.outcome != AccurateRipLookup::Outcome::Unreachable &&
        lookup.outcome != AccurateRipLookup::Outcome::Unreadable)
      Out() << QStringLiteral("Track %1: ").arg(track.number, 2, 10, QLatin1Char('0'))
            << VerdictText(track.verdict, lookup.outcome) << '\n';
    record.tracks.push_back(track);
  }
  if (options.lookUp) {
    if (lookup.outcome == AccurateRipLookup::Outcome::Unreachable ||
        lookup.outcome == AccurateRipLookup::Outcome::Unreadable)
      Out() << VerdictText({}, lookup.outcome)
            << (lookup.detail.isEmpty() ? QString() : " (" + lookup.detail + ")") << '\n';
    else
      Out() << QStringLiteral("AccurateRip: %1 of %2 tracks accurately ripped\n")
                   .arg(accurate)
                   .arg(record.tracks.size());
  }
  if (Settings().WriteRipLog) {
    const QString error = WriteRipLogAndCue(record, Settings().OutputFolder, &question);
    if (!error.isEmpty()) Fail(error);
  }
  Out().flush();
  const bool allAccurate = options.lookUp && accurate == int(record.tracks.size()) && !record.tracks.empty();
  return options.requireAccurate && !allAccurate ? 3 : 0;
}

}  // namespace trackmill::cli
