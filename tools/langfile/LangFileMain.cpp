// langfile: writes the English language file from the texts built into the program, so that
// switching back to English finds every key and nobody types the English texts twice.
// Usage: langfile OUTPUT
#include <QCoreApplication>
#include <QTextStream>

#include "settings/EnglishStrings.h"
#include "settings/IniFile.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 2) {
    QTextStream(stderr) << "usage: langfile OUTPUT\n";
    return 2;
  }
  trackmill::IniFile file;
  for (const QString& key : trackmill::EnglishKeys()) {
    file.WriteString(QStringLiteral("ResourceString"), key, trackmill::EnglishText(key));
  }
  const QByteArray header = "; English texts of Trackmill, generated from the program's built-in texts.\n";
  if (!trackmill::IniFile::Parse(header + file.Serialize()).Save(args[1])) {
    QTextStream(stderr) << "langfile: cannot write " << args[1] << "\n";
    return 1;
  }
  return 0;
}
