#pragma once
#include <QString>

class QLabel;
class QLayout;
class QWidget;

namespace trackmill {

// A word-wrapped label with a component name (so language files reach it), added to layout.
QLabel* AddWrappedLabel(QLayout* layout, QWidget* parent, const char* name, const QString& text);

}  // namespace trackmill
