#include "tags/Id3Genres.h"

#include <array>

namespace trackmill {
namespace {

// Genre numbers 0..147 in number order.
constexpr std::array<const char*, kGenreCount> kGenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul",
    "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes",
    "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion",
    "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music",
    "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet",
    "Punk Rock", "Drum Solo", "A Cappella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass",
    "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop",
};

// Display positions 0..148: the empty entry, then the names in alphabetical order.
constexpr std::array<const char*, kGenreDisplayCount> kDisplayEntries = {
    "", "A Cappella", "Acid", "Acid Jazz", "Acid Punk", "Acoustic", "Alt. Rock", "Alternative",
    "Ambient", "Anime", "Avantgarde", "Ballad", "Bass", "Beat", "Bebob", "Big Band",
    "Black Metal", "Bluegrass", "Blues", "Booty Bass", "BritPop", "Cabaret", "Celtic",
    "Chamber Music", "Chanson", "Chorus", "Christian Gangsta", "Christian Rap", "Christian Rock",
    "Classic Rock", "Classical", "Club", "Club-House", "Comedy", "Contemporary Christian",
    "Country", "Crossover", "Cult", "Dance", "Dance Hall", "Darkwave", "Death Metal", "Disco",
    "Dream", "Drum & Base", "Drum Solo", "Duet", "Easy Listening", "Electronic", "Ethnic",
    "Eurodance", "Euro-House", "Euro-Techno", "Fast-Fusion", "Folk", "Folk/Rock", "Folklore",
    "Freestyle", "Funk", "Fusion", "Game", "Gangsta Rap", "Goa", "Gospel", "Gothic",
    "Gothic Rock", "Grunge", "Hard Rock", "Hardcore", "Heavy Metal", "Hip-Hop", "House",
    "Humour", "Indie", "Industrial", "Instrumental", "Instrumental Pop", "Instrumental Rock",
    "Jazz", "Jazz+Funk", "JPop", "Jungle", "Latin", "Lo-Fi", "Meditative", "Merengue", "Metal",
    "Musical", "National Folk", "Native American", "Negerpunk", "New Age", "New Wave", "Noise",
    "Oldies", "Opera", "Other", "Polka", "Polsk Punk", "Pop", "Pop/Funk", "Pop-Folk",
    "Porn Groove", "Power Ballad", "Pranks", "Primus", "Progressive Rock", "Psychedelic",
    "Psychedelic Rock", "Punk", "Punk Rock", "R&B", "Rap", "Rave", "Reggae", "Retro", "Revival",
    "Rhythmic Soul", "Rock", "Rock & Roll", "Salsa", "Samba", "Satire", "Showtunes", "Ska",
    "Slow Jam", "Slow Rock", "Sonata", "Soul", "Sound Clip", "Soundtrack", "Southern Rock",
    "Space", "Speech", "Swing", "Symphonic Rock", "Symphony", "Synthpop", "Tango", "Techno",
    "Techno-Industrial", "Terror", "Thrash Metal", "Top 40", "Trailer", "Trance", "Tribal",
    "Trip-Hop", "Vocal",
};

// Display entries spelled differently from the genre name of the same number.
struct DisplayAlias {
  const char* entry;
  quint8 genre;
};
constexpr std::array<DisplayAlias, 10> kDisplayAliases = {{
    {"Chamber Music", 104}, {"Christian Gangsta", 136}, {"Death Metal", 22}, {"Drum & Base", 127},
    {"Fast-Fusion", 84}, {"Folk/Rock", 81}, {"Gangsta Rap", 59}, {"Instrumental Pop", 46},
    {"Instrumental Rock", 47}, {"Rhythmic Soul", 118},
}};

// Genre number of each display position (255 for the empty entry): the alias when the entry
// has one, else the genre of exactly the same name.
const std::array<quint8, kGenreDisplayCount>& DisplayToGenre() {
  static const std::array<quint8, kGenreDisplayCount> table = [] {
    std::array<quint8, kGenreDisplayCount> t{};
    t.fill(kNoGenre);
    for (std::size_t i = 1; i < kDisplayEntries.size(); ++i) {
      const QLatin1String entry(kDisplayEntries[i]);
      for (const DisplayAlias& alias : kDisplayAliases)
        if (entry == QLatin1String(alias.entry)) t[i] = alias.genre;
      for (std::size_t g = 0; t[i] == kNoGenre && g < kGenreNames.size(); ++g)
        if (entry == QLatin1String(kGenreNames[g])) t[i] = static_cast<quint8>(g);
    }
    return t;
  }();
  return table;
}

}  // namespace

QString GenreName(int genre) {
  if (genre < 0 || genre >= kGenreCount) return {};
  return QString::fromLatin1(kGenreNames[static_cast<std::size_t>(genre)]);
}

int GenreByName(const QString& name) {
  const QString wanted = name.trimmed();
  for (int i = 0; i < kGenreCount; ++i)
    if (QString::compare(wanted, QLatin1String(kGenreNames[static_cast<std::size_t>(i)]), Qt::CaseInsensitive) == 0)
      return i;
  return -1;
}

const QStringList& GenreDisplayList() {
  static const QStringList list = [] {
    QStringList l;
    for (const char* entry : kDisplayEntries) l << QString::fromLatin1(entry);
    return l;
  }();
  return list;
}

int GenreDisplayIndexOf(const QString& entry) {
  for (int i = 0; i < kGenreDisplayCount; ++i)
    if (entry == QLatin1String(kDisplayEntries[static_cast<std::size_t>(i)])) return i;
  return -1;
}

int GenreToListIndex(int genre) {
  if (genre < 0 || genre >= kGenreCount) return 0;
  for (int i = 1; i < kGenreDisplayCount; ++i)
    if (DisplayToGenre()[static_cast<std::size_t>(i)] == genre) return i;
  return 0;
}

quint8 ListIndexToGenre(int listIndex) {
  if (listIndex < 1 || listIndex >= kGenreDisplayCount) return kNoGenre;
  return DisplayToGenre()[static_cast<std::size_t>(listIndex)];
}

}  // namespace trackmill
