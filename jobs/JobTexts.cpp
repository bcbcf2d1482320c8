#include "jobs/JobTexts.h"

#include "common/TextForms.h"
#include "settings/LangString.h"

namespace trackmill {

QString JobText(const char* key, const QString& fallback) {
  return LangString(QString::fromLatin1(key), fallback);
}

QString JobCaption(const QString& phase, int current, int count, const QString& name) {
  return phase + TwoDigit(current) + '/' + TwoDigit(count) + "): " + name;
}

}  // namespace trackmill
