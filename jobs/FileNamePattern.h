#pragma once
#include <QString>
#include <QStringList>
#include <array>

// Where a ripped track goes below the output folder, from the user's pattern
// ([CommonOptions] FileNamePattern, `rip --pattern`): "%t" (the default) names a track by its
// title alone, "%A/%l/%n - %t" puts it in an artist and an album folder.
//
// Tokens: %t title, %n track number (two digits), %N track total, %a track artist (the album
// artist when the track has none), %A album artist, %l album, %y year, %g genre, %d disc
// number, %D disc total, %f format name, %% a percent sign; any other % stays as typed. An
// empty artist is "Unknown Artist", an empty album "Unknown Album". A "/" of the pattern
// starts a folder; a folder that holds %d or %D is left out unless the disc total is above 1.
// Each component, typed text and values alike, goes through the one name rule (CleanFileName),
// so no value makes a folder, climbs out of the output folder or hides a file; a folder
// left empty is dropped, an empty file name becomes "TrackNN". Pure; any thread.
namespace trackmill {

struct TrackNameFields {
  QString title;
  QString trackArtist;  // empty: the album artist's track
  QString albumArtist;
  QString album;
  QString year;
  QString genre;
  QString format;  // "flac", "mp3"...
  int track = 0;
  int trackTotal = 0;  // 0: unknown
  int disc = 0;        // 0: unknown
  int discTotal = 0;   // 0: unknown
};

// The options dialog's presets, in its list's order: "Title" (the default), "NN - Title",
// "Artist/Album/NN - Title", "Album artist/Album (Year)/Disc N/NN - Title".
inline constexpr std::array<const char*, 4> kFileNamePresets = {"%t", "%n - %t", "%A/%l/%n - %t",
                                                                "%A/%l (%y)/Disc %d/%n - %t"};

// The folders below the output folder (each fitted to a name's 255 bytes), then the file's
// name without its extension (to be fitted by the caller with its extension). Never empty.
QStringList ExpandFileNamePattern(const QString& pattern, const TrackNameFields& fields);

// What pattern makes of a sample track (track 3 of disc 1 of 2), with format's extension.
QString FileNameExample(const QString& pattern, const QString& format);

}  // namespace trackmill
