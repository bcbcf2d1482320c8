#include "app/cli/DiscListing.h"

#include "app/cli/CommandLine.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"

namespace trackmill::cli {

void PrintDiscRecord(const TrackList& list) {
  const DiscInfo& disc = Settings().Disc;
  const QStringList& genres = GenreDisplayList();
  const QString genre = disc.Genre > 0 && disc.Genre < genres.size() ? genres.at(disc.Genre) : QString();
  Out() << "Artist: " << disc.Artist << '\n'
        << "Album:  " << disc.Album << '\n'
        << "Year:   " << disc.Year << '\n'
        << "Genre:  " << genre << '\n';
  for (size_t i = 0; i < list.Rows.size(); ++i) {
    const TrackRow& row = list.Rows[i];
    Out() << QStringLiteral("%1").arg(row.Caption, 3) << "  " << row.Title;
    if (i < disc.TrackArtists.size() && !disc.TrackArtists[i].isEmpty())
      Out() << "  (" << disc.TrackArtists[i] << ')';
    Out() << '\n';
  }
  Out().flush();
}

}  // namespace trackmill::cli
