#include "common/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace trackmill {

QString DataFolder() {
  QString folder = qEnvironmentVariable("TRACKMILL_HOME");
  if (folder.isEmpty()) {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    folder = config + "/trackmill";
  }
  folder = QDir::cleanPath(QDir(folder).absolutePath());
  QDir().mkpath(folder);
  return folder;
}

QString DataFile(const QString& name) { return DataFolder() + '/' + name; }

QStringList DataSearchPath() {
  return {DataFolder(), QStringLiteral(TRACKMILL_SOURCE_DATA_DIR),
          QDir::cleanPath(ProgramFolder() + QStringLiteral("/" TRACKMILL_INSTALL_DATA_FROM_BIN)),
          QStringLiteral(TRACKMILL_INSTALL_DATA_DIR)};
}

QString FindDataFile(const QString& name) {
  for (const QString& folder : DataSearchPath()) {
    const QString path = folder + '/' + name;
    if (QFileInfo(path).isFile()) return path;
  }
  return {};
}

QString DefaultOutputFolder() {
  QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (music.isEmpty()) music = QDir::homePath() + "/Music";
  return music + "/Trackmill";
}

QString ProgramFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString FindProgram(const QString& name) {
  const QStringList besides = {ProgramFolder(), ProgramFolder() + "/../tools"};
  for (const QString& folder : besides) {
    const QFileInfo candidate(folder + '/' + name);
    if (candidate.isFile() && candidate.isExecutable()) return candidate.canonicalFilePath();
  }
  return QStandardPaths::findExecutable(name);
}

}  // namespace trackmill
