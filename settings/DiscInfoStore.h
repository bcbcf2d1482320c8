#pragma once
#include <QString>
#include <vector>

// The per-disc title cache "cdinfo.dat" in the per-user data folder: one INI section per
// disc, named by the disc identifier, filled into and saved from Settings().Disc.
// Main thread only (it reads and writes the settings record).
namespace trackmill {

// 32-bit CDDB disc id of a table of contents. trackStartFrames: absolute start address of
// each track in frames (75 per second) as the TOC gives it in minute/second/frame form,
// i.e. including the 150-frame lead-in offset; leadOutFrame likewise.
quint32 CddbDiscId(const std::vector<qint32>& trackStartFrames, qint32 leadOutFrame);
// The identifier text of a disc: the disc id as signed 32-bit decimal (may start with "-").
QString DiscIdText(quint32 discId);

QString DiscInfoFilePath();
// Fills Settings().Disc from the identifier's section and remembers the identifier in it;
// nothing else happens for an empty id. Returns whether the cache held a record of the disc.
// Missing values take the defaults (TrackNumber 100, Genre -1, empty texts); slots 1 to
// TrackNumber (at most kDiscTitleSlots) are read, an empty title becoming "Track" + two-digit
// slot; a TrackNumber of 0 or less reads no slot, so the titles shown before stay.
bool LoadDiscInfo(const QString& identifier);
// Writes Settings().Disc to the identifier's section (crash-safe, and under the file's lock so
// that processes saving other discs at the same moment keep theirs); nothing for an empty id.
// Keys of slots above TrackNumber already in the section stay; slots beyond kDiscTitleSlots do
// not exist and are never written. False when the changes are lost: the file cannot be
// written or locked in time, or it exists but cannot be read (its other discs would be lost).
bool SaveDiscInfo(const QString& identifier);
// Where the front cover of a disc is kept beside its record ("covers/ID.jpg" in the per-user
// data folder); empty for an empty id. The file exists only when a cover was fetched.
QString DiscCoverPath(const QString& identifier);

}  // namespace trackmill
