#pragma once
#include <QMessageBox>
#include <QString>

// Every message box of the program: caption "Trackmill", the given icon, buttons and default
// button; modal over parent (or the active window). Returns the button chosen (Escape or the
// close button give the escape button, No when there is one). Main thread only.
namespace trackmill {

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
// A question with Yes and No, No the default (the answer to a careless Enter); true for Yes.
bool ConfirmDefaultNo(QWidget* parent, const QString& question);
// Whether an existing file may be replaced: Yes or No, No the default. offerToAll adds "Yes to
// All" and "No to All" (language strings) for a job with more files to come; Escape is No.
QMessageBox::StandardButton AskOverwrite(QWidget* parent, const QString& question, bool offerToAll);

}  // namespace trackmill

#include "app/shell/UserPrompts.h"

namespace trackmill {

// The prompts of the main window's commands, answered with the boxes above.
class TBoxPrompts : public TUserPrompts {
 public:
  explicit TBoxPrompts(QWidget* parent) : parent_(parent) {}
  void Information(const QString& text) override { ShowMessageBox(parent_, text, QMessageBox::Information); }
  void Error(const QString& text) override { ShowMessageBox(parent_, text, QMessageBox::Critical); }
  bool AskYesNo(const QString& text) override {
    return ShowMessageBox(parent_, text, QMessageBox::Information, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }

 private:
  QWidget* parent_;
};

}  // namespace trackmill
