#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "cddb/MusicBrainzClient.h"
#include "cddb/MusicBrainzReply.h"
#include "settings/Settings.h"

// What a chosen MusicBrainz release gives the disc's record, and the front cover kept beside
// that record. Main thread (the record is the settings record's disc block).
namespace trackmill {

// Artist, album, year, genre (when the release names an ID3 genre), the release id and the
// titles of the tracks by position into disc and rowTitles (rowTitles[0] is track 1 of the
// medium). A track credited to someone else than the release keeps that artist in
// disc.TrackArtists; the others are cleared.
void ApplyMusicBrainzRelease(const MusicBrainzRelease& release, DiscInfo& disc, QStringList& rowTitles);

// The servers and contact address of the settings.
MusicBrainzServers MusicBrainzServersFromSettings();

// Writes the cover of the disc identifier beside its record (crash-safe); false when it
// cannot be written.
bool StoreDiscCover(const QString& identifier, const QByteArray& jpeg);

}  // namespace trackmill
