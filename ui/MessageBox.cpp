#include "ui/MessageBox.h"

#include <QApplication>

#include "common/AppInfo.h"

namespace trackmill {

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, QString::fromLatin1(kAppTitle), text, buttons,
                  parent ? parent : QApplication::activeWindow());
  box.setObjectName(QStringLiteral("MessageBox"));
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool ConfirmDefaultNo(QWidget* parent, const QString& question) {
  return ShowMessageBox(parent, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace trackmill
