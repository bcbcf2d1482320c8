#include "jobs/JobTexts.h"

#include "common/TextForms.h"
#include "jobs/JobRunner.h"
#include "settings/LangString.h"

namespace trackmill {

QString JobText(const char* key, const QString& fallback) {
  return LangString(QString::fromLatin1(key), fallback);
}

QString JobCaption(const QString& phase, int current, int count, const QString& name) {
  return phase + TwoDigit(current) + '/' + TwoDigit(count) + "): " + name;
}

QString JobItemResultWord(JobItemResult result) {
  switch (result) {
    case JobItemResult::Done: return QStringLiteral("done");
    case JobItemResult::Failed: return QStringLiteral("failed");
    case JobItemResult::Declined: return QStringLiteral("not replaced");
    case JobItemResult::Stopped: return QStringLiteral("stopped");
    case JobItemResult::Pending: break;
  }
  return QStringLiteral("not done");
}

}  // namespace trackmill
