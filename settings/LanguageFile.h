#pragma once
#include <QString>

#include "settings/IniFile.h"

// The language file of a language name: "CLan_" + name + ".ini", looked up along
// DataSearchPath() (the per-user folder first, then the shipped data). Main thread only:
// the last file read is cached and re-read when it changes on disk.
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
const IniFile& LanguageFile(const QString& language);

}  // namespace trackmill
