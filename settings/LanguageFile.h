#pragma once
#include <QString>

#include "settings/IniFile.h"

// The language file of a language name: "CLan_" + name + ".ini", looked up along
// DataSearchPath() (the per-user folder first, then the shipped data). Thread-safe: the last
// file read is cached (under a lock) and read again when it changes on disk.
namespace trackmill {

// True for the built-in language: "English" in any case.
bool IsEnglish(const QString& language);
// File name of a language ("CLan_german.ini" for "german").
QString LanguageFileName(const QString& language);
// Path of the language file, empty when none exists (or the name could leave the folder).
QString FindLanguageFile(const QString& language);
// Path to name in messages: the file found, else where the per-user copy would be.
QString LanguageFilePath(const QString& language);
// Contents of the language file; a missing file reads as a file without keys.
IniFile LanguageFile(const QString& language);
// One value of the language file (defaultValue when the file, section or key is missing).
QString LanguageText(const QString& language, const QString& section, const QString& key,
                     const QString& defaultValue);

}  // namespace trackmill
