#include <QSet>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/DriveOption.h"
#include "cd/DiscLayout.h"
#include "cd/DiscSamples.h"
#include "verify/AccurateRipLookup.h"
#include "settings/Settings.h"

namespace trackmill::cli {
namespace {

constexpr int kSearchSamples = 2000;

// How many of the disc's tracks agree with the database at each offset -2000..2000.
std::vector<int> MatchesByOffset(const CdDrive& drive, const DiscLayout& disc, const AccurateRipLookup& lookup,
                                 QString* readError) {
  std::vector<int> matches(2 * kSearchSamples + 1, 0);
  const qint64 discSamples = qint64(disc.leadOutFrame - kLeadInSectors) * kSamplesPerSector;
  const qint64 windowSamples = kSamplesPerSector + 2 * kSearchSamples;
  std::vector<uint8_t> sectors(size_t(windowSamples / kSamplesPerSector + 2) * kCDSectorBytes);
  std::vector<quint32> window(static_cast<size_t>(windowSamples));  // little-endian words, as on the disc
  int audioIndex = -1;
  for (const DiscTrack& track : disc.tracks) {
    if (track.data) continue;
    ++audioIndex;
    QSet<quint32> known;
    for (const DbarPressing& pressing : lookup.pressings)
      if (audioIndex < int(pressing.tracks.size()) && pressing.tracks[size_t(audioIndex)].confidence > 0)
        known.insert(pressing.tracks[size_t(audioIndex)].frame450);
    // The sector lies well inside every track long enough to have it.
    if (known.isEmpty() || track.Frames() <= kChecksumSector + 1) continue;
    const qint64 sectorStart =
        qint64(track.startFrame - kLeadInSectors + kChecksumSector) * kSamplesPerSector;
    if (!ReadDiscSamples(drive, sectors, sectorStart - kSearchSamples, windowSamples, discSamples,
                         reinterpret_cast<char*>(window.data()))) {
      *readError = QStringLiteral("track %1 could not be read").arg(track.number);
      return {};
    }
    for (size_t at = 0; at < matches.size(); ++at)
      if (known.contains(Frame450Checksum(window.data() + at))) ++matches[at];
  }
  return matches;
}

}  // namespace

// Finds the drive's read offset: the shift at which the sector-450 checksums of the disc's
// tracks agree with the database, tried over +-2000 samples; --save keeps it for the drive.
int RunOffsetCommand(const QStringList& arguments) {
  LoadSettingsOrWarn();
  QStringList args = arguments;
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  bool ok = true;
  QString server = TakeOption(args, "--accuraterip-server", &ok);
  if (!ok) return Fail("--accuraterip-server needs HOST[:PORT]", 2);
  if (server.isEmpty()) server = Settings().AccurateRipServer;
  const bool save = TakeFlag(args, "--save");
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);

  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  const std::optional<DiscToc> toc = list.Drive->ReadToc();
  if (!toc) return Fail("the table of contents could not be read");
  const DiscLayout disc = DiscLayout::FromToc(*toc);
  const AccurateRipLookup lookup = LookUpAccurateRip(AccurateRipDiscId::Of(disc), {server});
  if (lookup.outcome != AccurateRipLookup::Outcome::Found)
    return Fail(lookup.outcome == AccurateRipLookup::Outcome::NotInDatabase
                    ? QStringLiteral("the disc is not in the AccurateRip database; try another disc")
                    : VerdictText({}, lookup.outcome) +
                          (lookup.detail.isEmpty() ? QString() : " (" + lookup.detail + ")"));
  QString readError;
  const std::vector<int> matches = MatchesByOffset(*list.Drive, disc, lookup, &readError);
  if (!readError.isEmpty()) return Fail(readError);
  int best = 0;
  for (int at = 0; at < int(matches.size()); ++at) {
    const int offset = at - kSearchSamples;
    const int bestOffset = best - kSearchSamples;
    if (matches[size_t(at)] > matches[size_t(best)] ||
        (matches[size_t(at)] == matches[size_t(best)] && std::abs(offset) < std::abs(bestOffset)))
      best = at;
  }
  if (matches.empty() || matches[size_t(best)] == 0)
    return Fail(
        QStringLiteral("no read offset within %1 samples agrees with the database").arg(kSearchSamples));
  const int offset = best - kSearchSamples;
  Out() << QStringLiteral("read offset: %1 samples").arg(offset) << Qt::endl;
  if (save) {
    Settings().ReadOffsets.insert(list.Drive->Identity(), offset);
    if (!SaveSettings()) return Fail("the read offset could not be saved in " + SettingsFilePath());
    Out() << "saved for " << list.Drive->Identity() << Qt::endl;
  }
  return 0;
}

}  // namespace trackmill::cli
