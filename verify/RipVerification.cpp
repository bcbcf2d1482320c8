#include "verify/RipVerification.h"

#include <algorithm>

#include "cd/Drive.h"
#include "cd/CDRipThread.h"
#include "common/TextForms.h"
#include "jobs/JobPlan.h"
#include "jobs/JobRunner.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

QStringList SettingLines(const TSettings& s) {
  QStringList lines;
  if (s.OutputFormat == output_format::kFlac)
    lines << QStringLiteral("FLAC compression level: %1").arg(s.FlacCompressionLevel);
  lines << (s.IsNormalize ? QStringLiteral("Normalizing: %1 %").arg(s.NormalizePercent)
                          : QStringLiteral("Normalizing: off"));
  if (s.EnableRipTime) lines << QStringLiteral("Extracted length limit: %1 s").arg(s.RipTime);
  return lines;
}

bool Answered(const AccurateRipLookup& lookup) {
  return lookup.outcome != AccurateRipLookup::Outcome::Unreachable &&
         lookup.outcome != AccurateRipLookup::Outcome::Unreadable;
}

void Judge(RipVerification& v) {
  v.accurate = 0;
  for (size_t i = 0; i < v.record.tracks.size(); ++i) {
    RippedTrack& track = v.record.tracks[i];
    track.verdict = JudgeTrack(v.lookup, v.audioIndexes[i], track.sums);
    if (track.verdict.kind == AccurateRipVerdict::Kind::Accurate) ++v.accurate;
  }
}

}  // namespace

bool CollectRipRecord(const TJobRunner& job, const CdDrive& drive, const QStringList& errors, bool lookUp,
                      RipVerification& out) {
  if (!job.Disc()) return false;
  RipRecord& record = out.record;
  record.drive = drive.Identity();
  record.damageMap = drive.DamageMapLine();
  const TSettings& settings = job.JobSettings();
  record.readOffset = ReadOffsetOf(&drive, settings);
  record.disc = *job.Disc();
  for (const DiscTrack& track : record.disc.tracks)
    record.pregapFrames.push_back(drive.PregapFrames(track.number));
  record.discId = AccurateRipDiscId::Of(record.disc);
  record.info = settings.Disc;
  record.outputFormat = OutputFormatName(settings.OutputFormat);
  record.settings = SettingLines(settings);
  record.errors = errors;
  record.stopped = job.WasStopped();
  record.lookedUp = lookUp && !record.stopped;  // the user wants it over
  for (int item = 0; item < job.ItemCount(); ++item) {
    const int index = job.Items()[size_t(item)].track - 1;
    if (index < 0 || index >= int(record.disc.tracks.size())) continue;
    RippedTrack track;
    const JobItem& planned = job.Items()[size_t(item)];
    track.number = record.disc.tracks[size_t(index)].number;
    track.title = planned.title;
    if (planned.disc && planned.track <= kDiscTitleSlots)
      track.performer = planned.disc->TrackArtists[size_t(planned.track - 1)];
    track.file = job.ResultFile(item);
    track.result = job.ItemResults()[size_t(item)];
    track.sums = job.Checksums()[size_t(item)];
    track.copy = job.Copies()[size_t(item)];
    int audioIndex = 0;
    for (int k = 0; k < index; ++k) audioIndex += record.disc.tracks[size_t(k)].data ? 0 : 1;
    record.tracks.push_back(track);
    out.audioIndexes.push_back(audioIndex);
  }
  Judge(out);  // until looked up, every track has the verdict of no answer
  return true;
}

void LookUpAndJudge(RipVerification& v, const QString& server) {
  if (!v.record.lookedUp) return;
  v.lookup = LookUpAccurateRip(v.record.discId, {server});
  v.record.outcome = v.lookup.outcome;
  v.record.lookupDetail = v.lookup.detail;
  Judge(v);
}

void CheckWithCtdb(RipVerification& v, const ctdb::CtdbServer& server, bool repair) {
  if (v.record.stopped) return;
  v.ctdb = CheckRipWithCtdb(v.record, server, repair);
  v.record.ctdbLines = v.ctdb.LogLines();
  for (size_t i = 0; i < v.record.tracks.size(); ++i)
    v.record.tracks[i].ctdbText = v.ctdb.TrackText(v.audioIndexes[i]);
  if (!repair) return;
  const CtdbRepairOutcome repaired = RepairRipFiles(v.record, v.ctdb);
  const ctdb::CtdbEntryVerdict* entry = v.ctdb.verdict.BestRepair();
  for (const CtdbRepairOutcome::Track& done : repaired.repaired) {
    const QString text = QStringLiteral("CTDB: repaired %1 samples against entry %2")
                             .arg(done.samples)
                             .arg(entry->entry.id);
    v.record.ctdbLines << QStringLiteral("Track %1: ").arg(done.number, 2, 10, QLatin1Char('0')) + text;
    v.ctdbRepaired.push_back(done.number);
    for (RippedTrack& track : v.record.tracks)
      if (track.number == done.number) track.ctdbText = text;
  }
  if (!repaired.failure.isEmpty()) v.record.ctdbLines << QStringLiteral("CTDB: repair failed: ") + repaired.failure;
}

QStringList RipVerification::TrackLines() const {
  QStringList lines;
  if (!record.lookedUp || !Answered(lookup)) return lines;
  for (const RippedTrack& track : record.tracks)
    lines << QStringLiteral("Track %1: ").arg(track.number, 2, 10, QLatin1Char('0')) +
                 VerdictText(track.verdict, lookup.outcome);
  return lines;
}

QString RipVerification::Summary() const {
  if (!record.lookedUp) return {};
  if (!Answered(lookup))
    return VerdictText({}, lookup.outcome) + (lookup.detail.isEmpty() ? QString() : " (" + lookup.detail + ")");
  return QStringLiteral("AccurateRip: %1 of %2 tracks accurately ripped").arg(accurate).arg(record.tracks.size());
}

bool RipVerification::AllAccurate() const {
  return record.lookedUp && !record.tracks.empty() && accurate == int(record.tracks.size());
}

bool RipVerification::AllVerified() const {
  if (record.tracks.empty()) return false;
  for (size_t i = 0; i < record.tracks.size(); ++i) {
    const bool accurate = record.lookedUp && record.tracks[i].verdict.kind == AccurateRipVerdict::Kind::Accurate;
    const auto& confidence = ctdb.verdict.trackConfidence;
    const size_t audioIndex = size_t(audioIndexes[i]);
    const bool inCtdb = ctdb.checked && audioIndex < confidence.size() && confidence[audioIndex] > 0;
    const bool repaired = std::find(ctdbRepaired.begin(), ctdbRepaired.end(), record.tracks[i].number) !=
                          ctdbRepaired.end();
    if (!accurate && !inCtdb && !repaired) return false;
  }
  return true;
}

QString WriteRipLogIfWanted(const RipVerification& v, TOverwriteQuestion& question) {
  if (!Settings().WriteRipLog) return {};
  // Beside the tracks: in the folder the file-name pattern gave them all.
  QStringList files;
  for (const RippedTrack& track : v.record.tracks) files << track.file;
  const QString folder = files.isEmpty() ? Settings().OutputFolder : CommonFolder(files);
  return WriteRipLogAndCue(v.record, folder, &question);
}

}  // namespace trackmill
