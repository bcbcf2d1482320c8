#include "settings/LanguageFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>

#include "common/DataFolder.h"

namespace trackmill {

bool IsEnglish(const QString& language) { return language.compare(u"English", Qt::CaseInsensitive) == 0; }

QString LanguageFileName(const QString& language) { return QStringLiteral("CLan_") + language + QStringLiteral(".ini"); }

QString FindLanguageFile(const QString& language) {
  // The name comes from options.ini: it must name a file in the data folders, nothing else.
  if (language.contains(u'/') || language.contains(u'\0')) return {};
  return FindDataFile(LanguageFileName(language));
}

QString LanguageFilePath(const QString& language) {
  const QString found = FindLanguageFile(language);
  return found.isEmpty() ? DataFile(LanguageFileName(language)) : found;
}

namespace {

struct LanguageFileCache {
  QMutex mutex;
  QString path;  // guarded by mutex, like the rest
  QDateTime modified;
  qint64 sizeBytes = -1;
  IniFile ini;
};

LanguageFileCache& Cache() {
  static LanguageFileCache cache;
  return cache;
}

// REQUIRES: cache.mutex held.
const IniFile& CurrentFile(LanguageFileCache& cache, const QString& language) {
  const QString path = FindLanguageFile(language);
  const QFileInfo info(path);
  const QDateTime modified = path.isEmpty() ? QDateTime() : info.lastModified();
  const qint64 sizeBytes = path.isEmpty() ? -1 : info.size();
  if (path != cache.path || modified != cache.modified || sizeBytes != cache.sizeBytes) {
    cache.path = path;
    cache.modified = modified;
    cache.sizeBytes = sizeBytes;
    cache.ini = path.isEmpty() ? IniFile() : IniFile::Load(path);
  }
  return cache.ini;
}

}  // namespace

IniFile LanguageFile(const QString& language) {
  LanguageFileCache& cache = Cache();
  const QMutexLocker lock(&cache.mutex);
  return CurrentFile(cache, language);
}

QString LanguageText(const QString& language, const QString& section, const QString& key, const QString& defaultValue) {
  LanguageFileCache& cache = Cache();
  const QMutexLocker lock(&cache.mutex);
  return CurrentFile(cache, language).ReadString(section, key, defaultValue);
}

}  // namespace trackmill
