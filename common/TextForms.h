#pragma once
#include <QString>

// Small text forms shared by the track list, the job windows and the command line.
namespace trackmill {

// Decimal text with a "0" in front when the number is 9 or less (7 -> "07", 12 -> "12").
QString TwoDigit(qint64 n);
// seconds -> two-digit(s div 60) + ":" + two-digit(s mod 60).
QString DurationText(qint64 seconds);

// The one rule for every file name the program makes from a title (tracks, log, cue sheet):
// removes the characters * / : < > ? \ |, every control character (tab, DEL, C1 controls),
// and the dots a name begins with (so no name is hidden, "." or ".."); a lone surrogate
// becomes U+FFFD, so the name always has a valid UTF-8 form. Text that arrives as bytes is
// decoded with QString::fromUtf8 first, which repairs invalid UTF-8 the same way. A title
// with nothing left ("", ".", "..") gives the empty text: the caller puts its own fallback
// name (TrackNN) in its place.
QString CleanFileName(const QString& title);

// stem + extension, the stem shortened at a character boundary (a whole grapheme: never
// inside a UTF-8 sequence, a surrogate pair or a combining sequence) so that the UTF-8 form of
// the whole name takes at most maxBytes (255: the limit of a name on Linux file systems).
// The extension (".flac", " (2).wav") is kept whole; when it alone is longer than maxBytes,
// the stem is dropped.
QString FitFileName(const QString& stem, const QString& extension, int maxBytes = 255);

}  // namespace trackmill
