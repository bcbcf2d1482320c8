#include "tests/ui/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

namespace trackmill::test {

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Look);
  timer_.start();
}

void ModalAnswerer::AnswerBox(QMessageBox::StandardButton button) {
  Then([this, button](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (!box) return false;
    boxTexts << box->text();
    boxIcons << box->icon();
    boxCaptions << box->windowTitle();
    // Queued: the box must first be running its own loop for the click to end it.
    QTimer::singleShot(0, box, [box, button] {
      if (QAbstractButton* chosen = box->button(button))
        chosen->click();
      else
        box->reject();
    });
    return true;
  });
}

void ModalAnswerer::AnswerFileDialog(const QString& directory, const QString& typed,
                                     std::function<void(QFileDialog*)> look) {
  OnWindow<QFileDialog>([this, directory, typed, look](QFileDialog* dialog) {
    if (look) look(dialog);
    dialog->setDirectory(directory);
    // Typed, not selectFile(): the dialog ignores selectFile() while its name box has the
    // focus, and when that focus arrives depends on timing.
    QTimer::singleShot(0, dialog, [this, dialog, typed] {
      if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(typed);
      static_cast<QDialog*>(dialog)->accept();  // public there, QFileDialog's own still runs
      if (dialog->isVisible()) {
        refusedFileNames << typed;
        dialog->reject();
      }
    });
  });
}

void ModalAnswerer::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  for (const QPointer<QWidget>& known : seen_)
    if (known == modal) return;
  seen_ << modal;
  for (auto it = answers_.begin(); it != answers_.end(); ++it) {
    if ((*it)(modal)) {
      answers_.erase(it);
      return;
    }
  }
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    unexpectedBoxes << box->text();
    QTimer::singleShot(0, box, [box] { box->reject(); });
  }
}

}  // namespace trackmill::test
