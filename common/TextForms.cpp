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

QString MakeTrackJobItem(int listPosition, const QString& title) {
  return TwoDigit(listPosition) + CleanFileName(title);
}

JobItemParts SplitJobItem(const QString& item) {
  JobItemParts parts;
  parts.trackNo = item.left(2).toInt();
  parts.baseName = item.mid(2);
  return parts;
}

}  // namespace trackmill
