#include <unistd.h>

#include <QTextStream>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/DiscListing.h"
#include "app/cli/DriveOption.h"
#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "cddb/MusicBrainzClient.h"
#include "cddb/MusicBrainzDisc.h"
#include "settings/DiscInfoStore.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

// `trackmill musicbrainz`: looks the disc up in MusicBrainz, lets the user pick a release when
// there are several, fetches its front cover and keeps everything in the disc's record.
namespace trackmill::cli {
namespace {

constexpr int kUsageExit = 2;

struct ReleaseChoice {
  int number = 0;  // 1-based; 0 = none chosen
  bool takeFirst = false;
};

void ListReleases(const std::vector<MusicBrainzRelease>& releases) {
  for (size_t i = 0; i < releases.size(); ++i) {
    const MusicBrainzRelease& r = releases[i];
    QStringList facts;
    for (const QString& fact : {r.date, r.country, r.barcode})
      if (!fact.isEmpty()) facts << fact;
    Out() << QStringLiteral("%1").arg(i + 1, 3) << ". " << r.title << " - " << r.artist;
    if (!facts.isEmpty()) Out() << " (" << facts.join(QStringLiteral(", ")) << ')';
    Out() << '\n';
  }
  Out().flush();
}

// The release to use, from the options, a question on a terminal or, for a single release,
// by itself. 0 when none can be chosen.
int ChooseRelease(const std::vector<MusicBrainzRelease>& releases, const ReleaseChoice& choice) {
  const int count = static_cast<int>(releases.size());
  if (choice.number > 0) return choice.number <= count ? choice.number : 0;
  if (count == 1 || choice.takeFirst) return 1;
  if (!isatty(STDIN_FILENO)) return 0;
  QTextStream in(stdin);
  Out() << QStringLiteral("Release (1-%1): ").arg(count);
  Out().flush();
  bool ok = false;
  const int answer = in.readLine().trimmed().toInt(&ok);
  return ok && answer >= 1 && answer <= count ? answer : 0;
}

void KeepCover(const MusicBrainzRelease& release, const MusicBrainzServers& servers, const QString& identifier) {
  if (!Settings().UseCoverArt || !release.hasFrontCover) return;
  const CoverFetch cover = FetchFrontCover(release.id, servers);
  if (cover.jpeg.isEmpty()) {
    Err() << "trackmill: note: no cover: " << cover.note << Qt::endl;
  } else if (!StoreDiscCover(identifier, cover.jpeg)) {
    Err() << "trackmill: note: the cover could not be kept in " << DiscCoverPath(identifier) << Qt::endl;
  } else {
    Out() << "Cover:  " << DiscCoverPath(identifier) << '\n';
  }
}

}  // namespace

int RunMusicBrainzCommand(const QStringList& arguments) {
  QStringList args = arguments;
  LoadSettingsOrWarn();
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, kUsageExit);
  bool ok = true;
  for (const auto& [option, field] : {std::pair{"--server", &TSettings::MusicBrainzServer},
                                      std::pair{"--coverart-server", &TSettings::CoverArtServer}}) {
    const QString url = TakeOption(args, QLatin1String(option), &ok);
    if (!ok || (!url.isEmpty() && ServerBaseUrl(url).isEmpty()))
      return Fail(QStringLiteral("%1 needs an http:// or https:// URL").arg(QLatin1String(option)), kUsageExit);
    if (!url.isEmpty()) Settings().*field = url;
  }
  ReleaseChoice choice;
  if (args.contains(QStringLiteral("--release"))) {
    const QString text = TakeOption(args, QStringLiteral("--release"), &ok);
    choice.number = text.toInt();
    if (!ok || choice.number < 1) return Fail(QStringLiteral("--release needs a number from 1"), kUsageExit);
  }
  choice.takeFirst = TakeFlag(args, QStringLiteral("--yes"));
  if (!args.isEmpty()) return Fail(QStringLiteral("unknown argument \"%1\"").arg(args.first()), kUsageExit);

  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  const std::optional<DiscToc> toc = list.Drive->ReadToc();
  if (!toc) {
    list.Drive->Close();
    return Fail(LangString(QStringLiteral("RES_ReadTocError")));
  }
  const MusicBrainzServers servers = MusicBrainzServersFromSettings();
  const MusicBrainzLookup lookup = LookUpMusicBrainz(MusicBrainzTocFromToc(*toc), servers);
  if (lookup.outcome != MusicBrainzLookup::Outcome::Found) {
    list.Drive->Close();
    return Fail(lookup.outcome == MusicBrainzLookup::Outcome::NotFound
                    ? LangString(QStringLiteral("RES_MusicBrainzNotFound"))
                    : lookup.error);
  }
  if (lookup.fuzzy) Out() << "No release holds this disc id; these match its track layout.\n";
  if (lookup.releases.size() > 1) ListReleases(lookup.releases);
  const int chosen = ChooseRelease(lookup.releases, choice);
  if (chosen == 0) {
    list.Drive->Close();
    return Fail(choice.number > 0 ? QStringLiteral("there is no release %1").arg(choice.number)
                                  : QStringLiteral("several releases match; choose one with --release N or --yes"),
                kUsageExit);
  }
  const MusicBrainzRelease& release = lookup.releases[static_cast<size_t>(chosen - 1)];
  QStringList titles;
  for (const TrackRow& row : list.Rows) titles << row.Title;
  ApplyMusicBrainzRelease(release, Settings().Disc, titles);
  for (qsizetype i = 0; i < titles.size(); ++i) list.Rows[static_cast<size_t>(i)].Title = titles.at(i);
  KeepCover(release, servers, list.DiscIdentifier);
  PrintDiscRecord(list);
  // Stores the titles and album facts in cdinfo.dat, as closing the main window does.
  const QString closeError = list.Close();
  return closeError.isEmpty() ? 0 : Fail(closeError);
}

}  // namespace trackmill::cli
