#include "jobs/JobTexts.h"

#include "common/TextForms.h"
#include "settings/EnglishStrings.h"
#include "settings/LangString.h"

namespace trackmill {

QString JobText(const char* key, const QString& fallback) {
  const QString name = QString::fromLatin1(key);
  const QString english = EnglishText(name);
  return LangString(name, english.isEmpty() ? fallback : english);
}

QString JobCaption(const QString& phase, int current, int count, const QString& name) {
  return phase + TwoDigit(current) + '/' + TwoDigit(count) + "): " + name;
}

}  // namespace trackmill
