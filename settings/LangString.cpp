#include "settings/LangString.h"

#include "settings/EnglishStrings.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"

namespace trackmill {

QString LangString(const QString& key) { return LangString(key, QString()); }

QString LangString(const QString& key, const QString& english) {
  const QString& language = Settings().Lan;
  if (IsEnglish(language)) {
    const QString builtIn = EnglishText(key);
    return builtIn.isEmpty() ? english : builtIn;
  }
  return LanguageText(language, QStringLiteral("ResourceString"), key, QString());
}

QString LangStringOrEnglish(const QString& key) {
  const QString text = LangString(key);
  return text.isEmpty() ? EnglishText(key) : text;
}

}  // namespace trackmill
