#pragma once
#include <QString>

// Message texts in the current language (Settings().Lan). English is built in: for
// "English" (any case) the given English text is returned; otherwise the key's value in the
// section ResourceString of "CLan_" + Lan + ".ini" (empty when missing). Safe to call from
// worker threads while no window changes Settings().Lan (the settings record's own rule).
namespace trackmill {

QString LangString(const QString& key, const QString& english);

}  // namespace trackmill
