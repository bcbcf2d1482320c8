#include "settings/LanguageFile.h"

#include <QDateTime>
#include <QFileInfo>

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

const IniFile& LanguageFile(const QString& language) {
  struct Cache {
    QString path;
    QDateTime modified;
    qint64 sizeBytes = -1;
    IniFile ini;
  };
  static Cache cache;
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

}  // namespace trackmill
