#include "ui/FormLabels.h"

#include <QLabel>
#include <QLayout>

namespace trackmill {

QLabel* AddWrappedLabel(QLayout* layout, QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  layout->addWidget(label);
  return label;
}

}  // namespace trackmill
