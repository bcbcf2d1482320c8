#pragma once
#include <QString>

class QBoxLayout;
class QDialog;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;

// Parts that several small windows build alike. Each gets its component name, so language
// files reach it.
namespace trackmill {

// A word-wrapped label, added to layout.
QLabel* AddWrappedLabel(QLayout* layout, QWidget* parent, const char* name, const QString& text);
// OK (the default button) and Cancel, at the right of a row added to layout: OK accepts the
// dialog (its accept() override included), Cancel rejects it. Cancel is named btCancel.
struct DialogButtons {
  QPushButton* ok;
  QPushButton* cancel;
};
DialogButtons AddOkCancelButtons(QBoxLayout* layout, QDialog* dialog, const char* okName, const QString& okText,
                                 const QString& cancelText);
// The default button that closes the dialog with OK, alone at the right of a row added to layout.
QPushButton* AddClosingButton(QBoxLayout* layout, QDialog* dialog, const char* name, const QString& text);

}  // namespace trackmill
