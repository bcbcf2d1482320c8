#pragma once
#include <QString>

#include <span>
#include <vector>

// The items of the Language menu. The language an item selects is its object name without the
// leading "mi" ("miGerman" -> "German", "miOther" -> "Other"), whatever its caption says; the
// caption is the language's own name, so a reader finds their language in any interface
// language. Constant data.
namespace trackmill {

struct LanguageMenuItem {
  const char* objectName;  // nullptr marks the separator
  const char* caption;     // UTF-8
};

// Every item in the stored order (by the English name), the separator before "Other".
std::span<const LanguageMenuItem> LanguageMenuItems();
// The languages (no separator, no "Other") in the order a reader looks for them: by their
// own names, letters compared without their accents, Latin script first.
std::vector<LanguageMenuItem> LanguagesByOwnName();
// Language name selected by a menu item's object name.
QString LanguageOfMenuItem(const QString& objectName);

}  // namespace trackmill
