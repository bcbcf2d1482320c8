#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>

#include "common/AppInfo.h"
#include "settings/LangString.h"

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

QMessageBox::StandardButton AskOverwrite(QWidget* parent, const QString& question, bool offerToAll) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (offerToAll) buttons |= QMessageBox::YesToAll | QMessageBox::NoToAll;
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), question, buttons,
                  parent ? parent : QApplication::activeWindow());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  if (offerToAll) {
    box.button(QMessageBox::YesToAll)->setText(LangStringOrEnglish(QStringLiteral("RES_Yes_To_All")));
    box.button(QMessageBox::NoToAll)->setText(LangStringOrEnglish(QStringLiteral("RES_No_To_All")));
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace trackmill
