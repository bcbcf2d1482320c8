#include "settings/LangString.h"

#include "settings/LanguageFile.h"
#include "settings/Settings.h"

namespace trackmill {

QString LangString(const QString& key, const QString& english) {
  const QString& language = Settings().Lan;
  if (IsEnglish(language)) return english;
  return LanguageText(language, QStringLiteral("ResourceString"), key, QString());
}

}  // namespace trackmill
