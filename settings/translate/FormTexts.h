#pragma once
#include <QString>

#include <functional>

class QWidget;

// The translatable texts of a window, named the way language files name them: section = the
// window's objectName (menu items: "Menu_" + that name), key = the widget's objectName, with
// "_Text" / "_ItemN" for combo boxes, "_PanelN" for the labels of a status bar (the plain
// name when it has none and shows one message), "_ColumnN" for the header of a tree or table
// view and "_PageN" for tab pages. The window caption's key is the window's own name.
// Objects without a name, Qt's internal "qt_" objects, menu separators and widgets of other
// kinds (edits, sliders, ...) have no translatable text. Other windows parented to the window
// (dialogs) are left to their own sections. Main thread only (touches widgets).
namespace trackmill {

// A combo box whose property of this name is true lists what reads the same in every language
// (numbers, genre names, drives): neither its items nor its text are translatable.
inline constexpr char kFixedItemsProperty[] = "fixedItems";

// Called once per text, in the window's object order (caption first); returns the new text.
using FormTextVisitor = std::function<QString(const QString& section, const QString& key, const QString& current)>;

// Visits every translatable text of the window and replaces each by what the visitor returns.
void VisitFormTexts(QWidget* window, const FormTextVisitor& visitor);

}  // namespace trackmill
