#pragma once
#include <QString>

class QWidget;

// Shows a window in a language: every translatable text of the window (see FormTexts.h)
// becomes the value of its key in the language file "CLan_" + language + ".ini"; a missing
// file, section or key leaves that text as it is. Main thread only.
namespace trackmill {

class IniFile;

void TranslateForm(QWidget* window, const QString& language);
// What a window does when it is shown: translate into Settings().Lan unless that is English
// (the built-in texts). The language switch calls TranslateForm directly, English included.
void TranslateShownForm(QWidget* window);
// Calls TranslateShownForm the first time the window is shown, never again (a window is
// translated once, when it opens; only the main window's language switch translates again).
void TranslateWhenFirstShown(QWidget* window);

// The other direction: every translatable text of the window, as it stands, written into the
// INI file (the built-in English texts of a window become its part of CLan_English.ini).
void WriteFormTexts(QWidget* window, IniFile& languageFile);

}  // namespace trackmill
