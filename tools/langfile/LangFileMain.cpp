// langfile: writes the English language file from the program itself: every text of every
// window (walked control by control, so none can be missed) and every message key's built-in
// English text, so that switching back to English finds every key, translators start from
// a complete list, and nobody types the English texts twice.
// Usage: langfile OUTPUT
#include <QApplication>
#include <QTextStream>

#include "settings/EnglishStrings.h"
#include "settings/IniFile.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormRegistry.h"

int main(int argc, char** argv) {
  // The windows are built, never shown: no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 2) {
    QTextStream(stderr) << "usage: langfile OUTPUT\n";
    return 2;
  }
  trackmill::IniFile file;
  for (const trackmill::FormFactory make : trackmill::FormFactories()) {
    trackmill::WriteFormTexts(make().get(), file);
  }
  for (const QString& key : trackmill::EnglishKeys()) {
    file.WriteString(QStringLiteral("ResourceString"), key, trackmill::EnglishText(key));
  }
  const QByteArray header = "; English texts of Trackmill, generated from the program's windows and messages.\n";
  if (!trackmill::IniFile::Parse(header + file.Serialize()).Save(args[1])) {
    QTextStream(stderr) << "langfile: cannot write " << args[1] << "\n";
    return 1;
  }
  return 0;
}
