#pragma once
#include <QString>
#include <QStringList>

// The ID3v1 genre vocabulary: genre numbers 0..147 with their names (255 = no genre), and the
// genre display list that drop-down lists show (position 0 the empty entry, positions 1..148
// the names in alphabetical order, some spelled differently from the genre names). Disc info
// stores positions of the display list; tags store genre numbers. Immutable tables, safe from
// any thread.
namespace trackmill {

constexpr int kGenreCount = 148;         // genre numbers 0..147
constexpr int kGenreDisplayCount = 149;  // display positions 0..148
constexpr quint8 kNoGenre = 255;
constexpr quint8 kDefaultGenre = 12;     // "Other"

// Name of genre number 0..147; empty for every other number.
QString GenreName(int genre);
// Number of the first genre whose name equals the trimmed text without regard to case; -1
// when none does.
int GenreByName(const QString& name);

// The 149 entries of the display list.
const QStringList& GenreDisplayList();
// Position of the exact (case-sensitive) display entry, -1 when absent: "Blues" gives 18,
// "blues" gives -1. The empty text gives 0.
int GenreDisplayIndexOf(const QString& entry);

// Display position of genre number 0..147; position 0 for 148..255 (and anything else).
int GenreToListIndex(int genre);
// Genre number of display position 1..148; 255 for position 0 and every other position
// (a "no selection" of -1 passed as an 8-bit value is 255 and so gives 255 too).
quint8 ListIndexToGenre(int listIndex);

}  // namespace trackmill
