#include "settings/translate/TranslateForm.h"

#include <QEvent>
#include <QWidget>

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

namespace {

class FirstShowTranslator : public QObject {
 public:
  explicit FirstShowTranslator(QWidget* window) : QObject(window) { window->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched == parent()) {
      watched->removeEventFilter(this);
      TranslateShownForm(static_cast<QWidget*>(watched));
      deleteLater();
    }
    return false;
  }
};

}  // namespace

void TranslateWhenFirstShown(QWidget* window) { new FirstShowTranslator(window); }

void WriteFormTexts(QWidget* window, IniFile& languageFile) {
  VisitFormTexts(window, [&languageFile](const QString& section, const QString& key, const QString& current) {
    languageFile.WriteString(section, key, current);
    return current;
  });
}

}  // namespace trackmill
