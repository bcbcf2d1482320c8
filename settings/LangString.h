#pragma once
#include <QString>

// Message texts in the current language (Settings().Lan). English is built in: for
// "English" (any case) the key's text in the English table (EnglishStrings.h); otherwise the
// key's value in the section ResourceString of "CLan_" + Lan + ".ini" (empty when missing).
// Safe to call from worker threads while no window changes Settings().Lan (the settings
// record's own rule).
namespace trackmill {

QString LangString(const QString& key);
// For a key the English table lacks, `english` stands in for its text. The tests fail on
// every key the code uses that the table lacks, so this only bridges a key on its way in.
QString LangString(const QString& key, const QString& english);
// For a key newer than the language files users keep: where the language's text is empty or
// missing, the English text stands in, so a button or a message never comes out blank.
QString LangStringOrEnglish(const QString& key);

}  // namespace trackmill
