#include "common/TextForms.h"

#include <QTextBoundaryFinder>

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
  for (qsizetype i = 0; i < title.size(); ++i) {
    const QChar c = title.at(i);
    if (c.isHighSurrogate() && i + 1 < title.size() && title.at(i + 1).isLowSurrogate()) {
      cleaned.append(c).append(title.at(++i));
    } else if (c.isSurrogate()) {
      cleaned.append(QChar::ReplacementCharacter);
    } else if (c.category() != QChar::Other_Control && !kForbidden.contains(c)) {
      cleaned.append(c);
    }
  }
  qsizetype dots = 0;
  while (dots < cleaned.size() && cleaned.at(dots) == u'.') ++dots;
  return cleaned.mid(dots);
}

QString FitFileName(const QString& stem, const QString& extension, int maxBytes) {
  const qsizetype stemBudget = maxBytes - extension.toUtf8().size();
  if (stemBudget <= 0) return extension;
  if (stem.toUtf8().size() <= stemBudget) return stem + extension;
  // The longest run of whole graphemes from the start that fits the budget.
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, stem);
  qsizetype fits = 0;
  qsizetype bytes = 0;
  for (qsizetype start = 0, end = graphemes.toNextBoundary(); end > 0; start = end, end = graphemes.toNextBoundary()) {
    bytes += QStringView(stem).mid(start, end - start).toUtf8().size();
    if (bytes > stemBudget) break;
    fits = end;
  }
  return stem.left(fits) + extension;
}

}  // namespace trackmill
