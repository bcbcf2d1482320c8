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
// Fills Settings().Disc from the identifier's section; nothing happens for an empty id.
void LoadDiscInfo(const QString& identifier);
// Writes Settings().Disc to the identifier's section (crash-safe); nothing for an empty id.
// A file that cannot be written loses the changes silently.
void SaveDiscInfo(const QString& identifier);

}  // namespace trackmill
