#include "cddb/XmcdEntry.h"

#include <QRegularExpression>

#include "tags/Id3Genres.h"

namespace trackmill {
namespace {

// Text after the first "=", trimmed; the whole trimmed line when there is none.
QString ValueOf(const QString& line) {
  const qsizetype equals = line.indexOf(QLatin1Char('='));
  return (equals < 0 ? line : line.mid(equals + 1)).trimmed();
}

// The keyword part of a line: the text before its first "=" (the whole line without one).
// Keywords are looked for there only, so a value such as "Live at DYEAR" is not a keyword.
QString KeyOf(const QString& line) {
  const qsizetype equals = line.indexOf(QLatin1Char('='));
  return equals < 0 ? line : line.left(equals);
}

bool IsTitleLineOf(const QString& key, int trackIndex) {
  static const QRegularExpression titleKey(QStringLiteral("TITLE(\\d{1,3})\\s*$"));
  const QRegularExpressionMatch match = titleKey.match(key);
  return match.hasMatch() && match.captured(1).toInt() == trackIndex;
}

}  // namespace

DiscTitle SplitDiscTitle(const QString& value) {
  // Writers of entries separate artist and album with " / ", so a "/" inside a name
  // ("AC/DC") stays; a value without that separator is split at its first "/".
  qsizetype separator = value.indexOf(QLatin1String(" / "));
  qsizetype albumStart = separator + 3;
  if (separator < 0) {
    separator = value.indexOf(QLatin1Char('/'));
    albumStart = separator + 1;
  }
  // Without a "/" the artist and the album title are the same (a self-titled album).
  if (separator < 0) return {value, value};
  return {value.left(separator).trimmed(), value.mid(albumStart).trimmed()};
}

bool ApplyXmcdEntry(const QString& entry, int firstTrack, int lastTrack, DiscInfo& disc,
                    QStringList& rowTitles) {
  QStringList lines;
  for (const QString& raw : entry.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (!line.isEmpty()) lines << line;
  }
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString& line = lines.at(i);
    const QString key = KeyOf(line);
    const bool withValue = line.contains(QLatin1Char('='));
    if (key.contains(QLatin1String("DTITLE"))) {
      const DiscTitle title = SplitDiscTitle(ValueOf(line));
      disc.Artist = title.artist;
      disc.Album = title.album;
    } else if (key.contains(QLatin1String("DYEAR")) && withValue) {
      disc.Year = ValueOf(line);
    } else if (key.contains(QLatin1String("DGENRE")) && withValue) {
      // Only the 148 names count: an empty value is no genre, not the list's empty entry.
      const QString name = ValueOf(line);
      disc.Genre = name.isEmpty() ? -1 : GenreDisplayIndexOf(name);
    } else if (IsTitleLineOf(key, firstTrack - 1)) {
      qsizetype lineIndex = i;
      for (int track = firstTrack; track <= lastTrack && lineIndex < lines.size();
           ++track, ++lineIndex) {
        const qsizetype row = track - firstTrack;
        const QString title = ValueOf(lines.at(lineIndex));
        // An empty value (a title nobody typed in) must not blank a title the row has.
        if (row < rowTitles.size() && !title.isEmpty()) rowTitles[row] = title;
      }
      return true;
    }
  }
  return false;
}

}  // namespace trackmill
