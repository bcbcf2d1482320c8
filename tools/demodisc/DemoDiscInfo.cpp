// demo-discinfo: stores album facts and titles of a disc image in the disc-info cache of
// $TRACKMILL_HOME, exactly as the main window does when it closes, so the demo disc comes up
// named and its encoded files carry tags.
//
//   demo-discinfo --disc-image CUE --artist A --album B --year Y --genre NAME --title T...
//                 [--track-artist A]...   (track n's own artist, in track order; "" for the disc's)
#include <QCoreApplication>
#include <cstdio>

#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tags/Id3Genres.h"

using namespace trackmill;

namespace {
int Usage(const char* why) {
  std::fprintf(stderr, "demo-discinfo: %s\nusage: demo-discinfo --disc-image CUE [--artist A] "
                       "[--album B] [--year Y] [--genre NAME] [--title T]... [--track-artist A]...\n", why);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  LoadSettings();
  DiscInfo facts;
  QString image;
  QStringList titles;
  QStringList trackArtists;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (i + 1 >= args.size()) return Usage("an option lacks its value");
    const QString value = args[++i];
    if (arg == "--disc-image") image = value;
    else if (arg == "--artist") facts.Artist = value;
    else if (arg == "--album") facts.Album = value;
    else if (arg == "--year") facts.Year = value;
    else if (arg == "--genre") facts.Genre = GenreDisplayIndexOf(value);
    else if (arg == "--title") titles << value;
    else if (arg == "--track-artist") trackArtists << value;
    else return Usage("unknown option");
  }
  if (image.isEmpty()) return Usage("--disc-image is required");

  AddDiscImage(image);
  TrackList list;
  list.Show(0);
  if (!list.Drive || list.Rows.empty()) {
    std::fprintf(stderr, "demo-discinfo: %s\n", qPrintable(list.Status));
    return 1;
  }
  DiscInfo& disc = Settings().Disc;
  disc.Artist = facts.Artist;
  disc.Album = facts.Album;
  disc.Year = facts.Year;
  disc.Genre = facts.Genre;
  for (qsizetype n = 0; n < titles.size() && n < qsizetype(list.Rows.size()); ++n)
    list.Rows[size_t(n)].Title = titles[n];
  disc.TrackArtists = {};
  for (qsizetype n = 0; n < trackArtists.size() && n < kDiscTitleSlots; ++n)
    disc.TrackArtists[size_t(n)] = trackArtists[n] == facts.Artist ? QString() : trackArtists[n];
  const QString error = list.Close();  // titles into the record and the cache, as at exit
  if (!error.isEmpty()) {
    std::fprintf(stderr, "demo-discinfo: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
