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
// The default button that closes the dialog with OK, alone at the right of a row added to layout.
QPushButton* AddClosingButton(QBoxLayout* layout, QDialog* dialog, const char* name, const QString& text);

}  // namespace trackmill
