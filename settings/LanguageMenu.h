#pragma once
#include <QString>

#include <span>

// The items of the Language menu, in menu order. The language an item selects is its object
// name without the leading "mi" ("miGerman" -> "German", "miOther" -> "Other"). Constant data.
namespace trackmill {

struct LanguageMenuItem {
  const char* objectName;  // nullptr marks the separator
  const char* caption;
};

std::span<const LanguageMenuItem> LanguageMenuItems();
// Language name selected by a menu item's object name.
QString LanguageOfMenuItem(const QString& objectName);

}  // namespace trackmill
