#include <vector>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/DriveOption.h"
#include "cd/DiscLayout.h"
#include "settings/Settings.h"
#include "verify/AccurateRipLookup.h"
#include "verify/DriveOffsetLookup.h"
#include "verify/OffsetSearch.h"

namespace trackmill::cli {
namespace {

QString SignedSamples(int samples) {
  return samples > 0 ? QStringLiteral("+%1").arg(samples) : QString::number(samples);
}

QString TracksText(int tracks) {
  return tracks == 1 ? QStringLiteral("1 track") : QStringLiteral("%1 tracks").arg(tracks);
}

// "weight 40 from 4 tracks": the confidences of the matched entries, summed.
QString EvidenceText(const OffsetCandidate& candidate) {
  return QStringLiteral("weight %1 from %2").arg(candidate.weight).arg(TracksText(candidate.matchingTracks));
}

QString CandidateText(const OffsetCandidate& candidate) {
  return QStringLiteral("%1 samples (%2)").arg(SignedSamples(candidate.offsetSamples), EvidenceText(candidate));
}

// The drive as the drive list describes it, chosen as TrackList::OpenDrive chooses it.
DriveInfo ListedDrive(int driveIndex) {
  const std::vector<DriveInfo> drives = ListDrives();
  if (drives.empty()) return {};
  return drives[size_t(driveIndex >= 0 && driveIndex < int(drives.size()) ? driveIndex : 0)];
}

// What the database's drive offset list gives for the drive, and whether the disc bears it out.
QString DriveOffsetListLine(const AccurateRipServer& server, const DriveInfo& drive,
                            const OffsetSearchResult* search) {
  const DriveOffsetLookup lookup = LookUpDriveOffset(server, drive.vendor, drive.model);
  switch (lookup.outcome) {
    case DriveOffsetLookup::Outcome::Found: {
      QString line = QStringLiteral("the drive offset list gives %1 for this drive (%2 submissions)")
                         .arg(SignedSamples(lookup.entry.offsetSamples))
                         .arg(lookup.entry.submissions);
      if (!search || search->outcome != OffsetSearchResult::Outcome::Found)
        return line + ": this disc can neither confirm nor contradict it";
      return line + (search->best.offsetSamples == lookup.entry.offsetSamples ? QStringLiteral(": confirmed")
                                                                               : QStringLiteral(": differs"));
    }
    case DriveOffsetLookup::Outcome::NotListed:
      return QStringLiteral("the drive offset list does not know this drive (%1)")
          .arg(DriveOffsetListName(drive.vendor, drive.model));
    case DriveOffsetLookup::Outcome::Unreadable:
      return QStringLiteral("the drive offset list is unreadable (%1)").arg(lookup.detail);
    case DriveOffsetLookup::Outcome::Unreachable:
      break;
  }
  return QStringLiteral("the drive offset list could not be fetched (%1)").arg(lookup.detail);
}

// Why no single offset can be given; empty for a found one.
QString NoSingleOffsetText(const OffsetSearchResult& search) {
  switch (search.outcome) {
    case OffsetSearchResult::Outcome::Found:
      return {};
    case OffsetSearchResult::Outcome::Tie:
      return QStringLiteral("tie: the read offsets %1 and %2 agree equally with the database; try another disc")
          .arg(CandidateText(search.best), CandidateText(search.runnerUp));
    case OffsetSearchResult::Outcome::NearTie:
      return QStringLiteral(
                 "near-tie: the read offsets %1 and %2 agree almost equally with the database; try another disc")
          .arg(CandidateText(search.best), CandidateText(search.runnerUp));
    case OffsetSearchResult::Outcome::NotFound:
      break;
  }
  QString text = QStringLiteral("no offset found: no read offset within %1 samples agrees with the database on %2")
                     .arg(kOffsetSearchSamples)
                     .arg(TracksText(search.tracksNeeded));
  if (search.best.weight > 0) text += " (the closest: " + CandidateText(search.best) + ")";
  return text;
}

}  // namespace

// Finds the drive's read offset: the shift at which the sector-450 checksums of the disc's
// tracks agree with the database, and what the database's drive offset list says of the
// drive; --save keeps an offset found for the drive. No single offset: exit status 1.
int RunOffsetCommand(const QStringList& arguments) {
  LoadSettingsOrWarn();
  QStringList args = arguments;
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  bool ok = true;
  QString serverName = TakeOption(args, "--accuraterip-server", &ok);
  if (!ok) return Fail("--accuraterip-server needs HOST[:PORT]", 2);
  if (serverName.isEmpty()) serverName = Settings().AccurateRipServer;
  const AccurateRipServer server{serverName};
  const bool save = TakeFlag(args, "--save");
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);

  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  const std::optional<DiscToc> toc = list.Drive->ReadToc();
  if (!toc) return Fail("the table of contents could not be read");
  const DiscLayout disc = DiscLayout::FromToc(*toc);
  const AccurateRipLookup lookup = LookUpAccurateRip(AccurateRipDiscId::Of(disc), server);
  const DriveInfo listed = ListedDrive(drive.driveIndex);
  if (lookup.outcome != AccurateRipLookup::Outcome::Found) {
    if (lookup.outcome != AccurateRipLookup::Outcome::Unreachable)
      Out() << DriveOffsetListLine(server, listed, nullptr) << Qt::endl;
    return Fail(lookup.outcome == AccurateRipLookup::Outcome::NotInDatabase
                    ? QStringLiteral("the disc is not in the AccurateRip database; try another disc")
                    : VerdictText({}, lookup.outcome) +
                          (lookup.detail.isEmpty() ? QString() : " (" + lookup.detail + ")"));
  }
  const OffsetSearchResult search = SearchReadOffset(*list.Drive, disc, lookup);
  if (!search.readError.isEmpty()) return Fail(search.readError);
  if (search.outcome == OffsetSearchResult::Outcome::Found)
    Out() << QStringLiteral("read offset: %1 samples (%2)")
                 .arg(search.best.offsetSamples)
                 .arg(EvidenceText(search.best))
          << Qt::endl;
  Out() << DriveOffsetListLine(server, listed, &search) << Qt::endl;
  if (const QString problem = NoSingleOffsetText(search); !problem.isEmpty())
    return Fail(save ? problem + " (nothing saved)" : problem);
  if (save) {
    Settings().ReadOffsets.insert(list.Drive->Identity(), search.best.offsetSamples);
    if (!SaveSettings()) return Fail("the read offset could not be saved in " + SettingsFilePath());
    Out() << "saved for " << list.Drive->Identity() << Qt::endl;
  }
  return 0;
}

}  // namespace trackmill::cli
