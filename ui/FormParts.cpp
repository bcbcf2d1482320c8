#include "ui/FormParts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace trackmill {

QLabel* AddWrappedLabel(QLayout* layout, QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  layout->addWidget(label);
  return label;
}

QPushButton* AddClosingButton(QBoxLayout* layout, QDialog* dialog, const char* name, const QString& text) {
  auto* button = new QPushButton(text, dialog);
  button->setObjectName(QString::fromLatin1(name));
  button->setDefault(true);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(button);
  layout->addLayout(row);
  return button;
}

DialogButtons AddOkCancelButtons(QBoxLayout* layout, QDialog* dialog, const char* okName, const QString& okText,
                                 const QString& cancelText) {
  auto* ok = new QPushButton(okText, dialog);
  ok->setObjectName(QString::fromLatin1(okName));
  ok->setDefault(true);
  auto* cancel = new QPushButton(cancelText, dialog);
  cancel->setObjectName(QStringLiteral("btCancel"));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  return {ok, cancel};
}

}  // namespace trackmill
