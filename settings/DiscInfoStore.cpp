#include "settings/DiscInfoStore.h"

#include "common/DataFolder.h"
#include "common/TextForms.h"
#include "settings/IniFile.h"
#include "settings/IniFileUpdate.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

constexpr char kArtistKey[] = "Artist";
constexpr char kAlbumKey[] = "Album";
constexpr char kYearKey[] = "Year";
constexpr char kGenreKey[] = "Genre";
constexpr char kCommentKey[] = "Comment";
constexpr char kTrackNumberKey[] = "TrackNumber";
constexpr char kReleaseKey[] = "MusicBrainzRelease";
constexpr char kDiscNumberKey[] = "DiscNumber";
constexpr char kDiscTotalKey[] = "DiscTotal";

QString TrackArtistKey(int slot) { return QStringLiteral("Artist%1").arg(slot); }

QString DefaultTitle(int slot) { return QStringLiteral("Track") + TwoDigit(slot); }

}  // namespace

QString DiscInfoFilePath() { return DataFile(QStringLiteral("cdinfo.dat")); }

bool LoadDiscInfo(const QString& identifier) {
  DiscInfo& disc = Settings().Disc;
  disc.Identifier = identifier;
  if (identifier.isEmpty()) return false;
  const IniFile ini = IniFile::Load(DiscInfoFilePath());
  const DiscInfo defaults;
  disc.Artist = ini.ReadString(identifier, kArtistKey, defaults.Artist);
  disc.Album = ini.ReadString(identifier, kAlbumKey, defaults.Album);
  disc.Year = ini.ReadString(identifier, kYearKey, defaults.Year);
  disc.Genre = ini.ReadInteger(identifier, kGenreKey, defaults.Genre);
  disc.Comment = ini.ReadString(identifier, kCommentKey, defaults.Comment);
  disc.TrackNumber = ini.ReadInteger(identifier, kTrackNumberKey, defaults.TrackNumber);
  disc.MusicBrainzRelease = ini.ReadString(identifier, kReleaseKey, QString());
  disc.DiscNumber = ini.ReadInteger(identifier, kDiscNumberKey, 0);
  disc.DiscTotal = ini.ReadInteger(identifier, kDiscTotalKey, 0);
  disc.TrackArtists = defaults.TrackArtists;
  // A TrackNumber of 0 or less reads no slot: the titles of the disc shown before stay.
  const int slotCount = std::min(disc.TrackNumber, kDiscTitleSlots);
  for (int slot = 1; slot <= slotCount; ++slot) {
    const QString title = ini.ReadString(identifier, QString::number(slot), QString());
    disc.Titles[slot - 1] = title.isEmpty() ? DefaultTitle(slot) : title;
    disc.TrackArtists[slot - 1] = ini.ReadString(identifier, TrackArtistKey(slot), QString());
  }
  return ini.HasSection(identifier);
}

bool SaveDiscInfo(const QString& identifier) {
  if (identifier.isEmpty()) return true;
  const DiscInfo& disc = Settings().Disc;
  // Under the file's lock: another process saving its own disc at the same moment keeps it.
  return UpdateIniFile(DiscInfoFilePath(), [&](IniFile& ini) {
    ini.WriteString(identifier, kArtistKey, disc.Artist);
    ini.WriteString(identifier, kAlbumKey, disc.Album);
    ini.WriteString(identifier, kYearKey, disc.Year);
    ini.WriteInteger(identifier, kGenreKey, disc.Genre);
    ini.WriteString(identifier, kCommentKey, disc.Comment);
    ini.WriteInteger(identifier, kTrackNumberKey, disc.TrackNumber);
    // There are only so many slots, whatever TrackNumber claims.
    const int slotCount = std::min(disc.TrackNumber, kDiscTitleSlots);
    for (int slot = 1; slot <= slotCount; ++slot)
      ini.WriteString(identifier, QString::number(slot), disc.Titles[slot - 1]);
    // The extra keys appear only in records that need them; an emptied one is kept empty.
    const auto writeIfUsed = [&](const QString& key, const QString& value) {
      if (!value.isEmpty() || ini.HasKey(identifier, key)) ini.WriteString(identifier, key, value);
    };
    writeIfUsed(kReleaseKey, disc.MusicBrainzRelease);
    const auto number = [](qint32 n) { return n > 0 ? QString::number(n) : QString(); };
    writeIfUsed(kDiscNumberKey, number(disc.DiscNumber));
    writeIfUsed(kDiscTotalKey, number(disc.DiscTotal));
    for (int slot = 1; slot <= slotCount; ++slot) writeIfUsed(TrackArtistKey(slot), disc.TrackArtists[slot - 1]);
  });
}

QString DiscCoverPath(const QString& identifier) {
  if (identifier.isEmpty()) return {};
  return DataFile(QStringLiteral("covers/") + identifier + QStringLiteral(".jpg"));
}

}  // namespace trackmill
