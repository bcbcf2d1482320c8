#pragma once
#include <QString>

// Small text forms shared by the track list, the job windows and the command line.
namespace trackmill {

// Decimal text with a "0" in front when the number is 9 or less (7 -> "07", 12 -> "12").
QString TwoDigit(qint64 n);
// seconds -> two-digit(s div 60) + ":" + two-digit(s mod 60).
QString DurationText(qint64 seconds);
// Removes the characters * / : < > ? \ | from a title so it can name a file.
QString CleanFileName(const QString& title);

}  // namespace trackmill
