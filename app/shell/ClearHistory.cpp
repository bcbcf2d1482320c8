#include "app/shell/ClearHistory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include "common/FileUtils.h"

namespace trackmill {

namespace {

// The file as text; false when it exists but cannot be read.
bool ReadText(const QString& path, QString& text, QString& error) {
  QFile file(path);
  if (!file.exists()) return true;
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Cannot read %1").arg(QDir::toNativeSeparators(path));
    return false;
  }
  text = QString::fromUtf8(file.readAll());
  return true;
}

int WriteCleared(const QString& path, const ClearedText& cleared, QString& error) {
  if (cleared.removed == 0) return 0;
  if (!WriteFileAtomically(path, cleared.text.toUtf8())) {
    error = QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(path));
    return -1;
  }
  return cleared.removed;
}

// Entries of a list value as Qt's INI format writes it ("a, b, \"c, d\""); a single value
// is one entry, and none counts for "@Invalid()" or an empty value.
int ListEntries(QString value) {
  value = value.trimmed();
  if (value.isEmpty() || value == QStringLiteral("@Invalid()")) return 0;
  int entries = 1;
  bool quoted = false;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c == '\\') {
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      ++entries;
    }
  }
  return entries;
}

}  // namespace

QString VlcConfigPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/vlc/vlc-qt-interface.conf");
}

QString RecentFilesPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/recently-used.xbel");
}

bool VlcRunning() {
  const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& pid : processes) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly) && comm.read(64).trimmed() == "vlc") return true;
  }
  return false;
}

ClearedText WithoutVlcRecents(const QString& conf) {
  ClearedText result;
  const QStringList lines = conf.split('\n');
  QStringList kept;
  bool inRecents = false;
  for (const QString& line : lines) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith('[')) inRecents = trimmed == QStringLiteral("[RecentsMRL]");
    if (inRecents && trimmed.startsWith(QStringLiteral("list="))) {
      result.removed += ListEntries(trimmed.mid(5));
      continue;
    }
    if (inRecents && trimmed.startsWith(QStringLiteral("times="))) continue;
    kept << line;
  }
  result.text = result.removed > 0 ? kept.join('\n') : conf;
  return result;
}

ClearedText WithoutAudioBookmarks(const QString& xbel) {
  ClearedText result;
  QXmlStreamReader reader(xbel);
  // Ranges [start, end) of the bookmarks to remove, in order.
  QList<std::pair<qsizetype, qsizetype>> ranges;
  qsizetype bookmarkStart = -1;
  bool audio = false;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      if (reader.name() == QStringLiteral("bookmark") && bookmarkStart < 0) {
        bookmarkStart = xbel.lastIndexOf(QStringLiteral("<bookmark"), reader.characterOffset() - 1);
        audio = false;
      } else if (bookmarkStart >= 0 && reader.name() == QStringLiteral("mime-type") &&
                 reader.attributes().value(QStringLiteral("type")).startsWith(QStringLiteral("audio/"))) {
        audio = true;
      }
    } else if (token == QXmlStreamReader::EndElement && reader.name() == QStringLiteral("bookmark") &&
               bookmarkStart >= 0) {
      if (audio) {
        // The line the bookmark stood on goes with it.
        qsizetype start = bookmarkStart;
        while (start > 0 && (xbel[start - 1] == ' ' || xbel[start - 1] == '\t')) --start;
        qsizetype end = reader.characterOffset();
        if (end < xbel.size() && xbel[end] == '\n') ++end;
        ranges.append({start, std::min(end, xbel.size())});
      }
      bookmarkStart = -1;
    }
  }
  // A file that is not well-formed is left alone: what it holds cannot be told apart.
  if (reader.hasError()) return {xbel, 0};
  result.text = xbel;
  for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
    if (it->first < 0 || it->first >= it->second) continue;
    result.text.remove(it->first, it->second - it->first);
    ++result.removed;
  }
  return result;
}

int ClearVlcRecents(const QString& path, QString& error) {
  QString text;
  if (!ReadText(path, text, error)) return -1;
  return WriteCleared(path, WithoutVlcRecents(text), error);
}

int ClearRecentAudioFiles(const QString& path, QString& error) {
  QString text;
  if (!ReadText(path, text, error)) return -1;
  return WriteCleared(path, WithoutAudioBookmarks(text), error);
}

}  // namespace trackmill
