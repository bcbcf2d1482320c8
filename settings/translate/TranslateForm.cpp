#include "settings/translate/TranslateForm.h"

#include "settings/IniFile.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "settings/translate/FormTexts.h"

namespace trackmill {

void TranslateForm(QWidget* window, const QString& language) {
  const IniFile file = LanguageFile(language);
  VisitFormTexts(window, [&file](const QString& section, const QString& key, const QString& current) {
    return file.ReadString(section, key, current);
  });
}

void TranslateShownForm(QWidget* window) {
  const QString& language = Settings().Lan;
  if (!IsEnglish(language)) TranslateForm(window, language);
}

void WriteFormTexts(QWidget* window, IniFile& languageFile) {
  VisitFormTexts(window, [&languageFile](const QString& section, const QString& key, const QString& current) {
    languageFile.WriteString(section, key, current);
    return current;
  });
}

}  // namespace trackmill
