#include "jobs/FileNamePattern.h"

#include "common/TextForms.h"

namespace trackmill {
namespace {

QString OrUnknown(const QString& value, const char* unknown) {
  return value.trimmed().isEmpty() ? QString::fromLatin1(unknown) : value;
}

QString Number(int value) { return value > 0 ? QString::number(value) : QString(); }

QString TokenValue(QChar token, const TrackNameFields& f) {
  switch (token.unicode()) {
    case 't': return f.title;
    case 'n': return f.track > 0 ? TwoDigit(f.track) : QString();
    case 'N': return Number(f.trackTotal);
    case 'a': return OrUnknown(f.trackArtist.trimmed().isEmpty() ? f.albumArtist : f.trackArtist, "Unknown Artist");
    case 'A': return OrUnknown(f.albumArtist, "Unknown Artist");
    case 'l': return OrUnknown(f.album, "Unknown Album");
    case 'y': return f.year;
    case 'g': return f.genre;
    case 'd': return Number(f.disc);
    case 'D': return Number(f.discTotal);
    case 'f': return f.format;
    default: return {};
  }
}

bool IsToken(QChar c) { return QStringView(u"tnNaAlygdDf%").contains(c); }

QString ExpandComponent(QStringView component, const TrackNameFields& fields) {
  QString out;
  for (qsizetype i = 0; i < component.size(); ++i) {
    const QChar c = component[i];
    if (c != u'%' || i + 1 >= component.size() || !IsToken(component[i + 1])) {
      out += c;
      continue;
    }
    const QChar token = component[++i];
    // A value never splits a name: the rule removes its slashes before it joins the text.
    out += token == u'%' ? QStringLiteral("%") : CleanFileName(TokenValue(token, fields));
  }
  return CleanFileName(out);
}

bool NamesDisc(QStringView component) {
  return component.contains(u"%d") || component.contains(u"%D");
}

}  // namespace

QStringList ExpandFileNamePattern(const QString& pattern, const TrackNameFields& fields) {
  const QList<QStringView> parts = QStringView(pattern).split(u'/');
  QStringList path;
  for (qsizetype k = 0; k + 1 < parts.size(); ++k) {
    if (NamesDisc(parts[k]) && fields.discTotal <= 1) continue;
    const QString folder = ExpandComponent(parts[k], fields);
    if (!folder.isEmpty()) path << FitFileName(folder, {});
  }
  QString name = ExpandComponent(parts.last(), fields);
  if (name.isEmpty()) name = "Track" + TwoDigit(fields.track);
  path << name;
  return path;
}

QString FileNameExample(const QString& pattern, const QString& format) {
  TrackNameFields sample;
  sample.title = QStringLiteral("Title");
  sample.albumArtist = QStringLiteral("Artist");
  sample.album = QStringLiteral("Album");
  sample.year = QStringLiteral("2001");
  sample.genre = QStringLiteral("Rock");
  sample.format = format;
  sample.track = 3;
  sample.trackTotal = 12;
  sample.disc = 1;
  sample.discTotal = 2;
  return ExpandFileNamePattern(pattern, sample).join(QLatin1Char('/')) + '.' + format;
}

}  // namespace trackmill
