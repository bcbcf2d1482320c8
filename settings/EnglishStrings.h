#pragma once
#include <QString>
#include <QStringList>

// The built-in English texts of every message key ("RES_..."): the texts the program shows
// when the language is English, and the ResourceString section of the shipped English
// language file. Constant data; thread-safe.
namespace trackmill {

// English text of a message key; empty for an unknown key.
QString EnglishText(const QString& key);
// Every message key, in alphabetical order.
QStringList EnglishKeys();

}  // namespace trackmill
