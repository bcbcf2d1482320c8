#include "common/TextForms.h"

namespace trackmill {

QString TwoDigit(qint64 n) {
  QString text = QString::number(n);
  if (n <= 9) text.prepend('0');
  return text;
}

QString DurationText(qint64 seconds) { return TwoDigit(seconds / 60) + ':' + TwoDigit(seconds % 60); }

QString CleanFileName(const QString& title) {
  static const QString kForbidden = QStringLiteral("*/:<>?\\|");
  QString cleaned;
  cleaned.reserve(title.size());
  for (QChar c : title)
    if (!kForbidden.contains(c)) cleaned.append(c);
  return cleaned;
}

}  // namespace trackmill
