#pragma once
#include <QString>
#include <QStringList>

#include "settings/Settings.h"

// Reading a disc entry in xmcd text form (lines of KEYWORD=value) into the disc fields and
// the track rows. Pure function of its arguments; any thread; accepts any text.
namespace trackmill {

// A DTITLE value (also the title of a query match): artist and album, split at the first
// " / " (else at the first "/") and trimmed; without a "/", the value is both (a self-titled
// album, as xmcd defines it).
struct DiscTitle {
  QString artist;
  QString album;
};
DiscTitle SplitDiscTitle(const QString& value);

// Applies one entry:
// - DTITLE: artist and album by SplitDiscTitle; a later DTITLE replaces them.
// - DYEAR: the year text. DGENRE: the genre's position in the genre display list (exact,
//   case-sensitive name), -1 when it is not a listed name.
// - The title line, TITLE directly followed by (firstTrack - 1): it and the lines after it,
//   whatever their keyword, give the titles of the rows firstTrack..lastTrack in order (the
//   value after the first "=", or the whole line when it has none). Rows for which no line
//   is left, and rows whose value is empty, keep their titles. rowTitles[0] is the row of
//   firstTrack; rows beyond the list's end are not written.
// Returns true when the entry had the title line (the lookup stops at that entry).
bool ApplyXmcdEntry(const QString& entry, int firstTrack, int lastTrack, DiscInfo& disc,
                    QStringList& rowTitles);

}  // namespace trackmill
