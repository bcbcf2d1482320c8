#include "settings/LanguageMenu.h"

#include <algorithm>

namespace trackmill {
namespace {

constexpr LanguageMenuItem kLanguageMenu[] = {
    {"miArabic", "العربية"},       {"miChinese", "中文"},          {"miCzech", "Čeština"},
    {"miDanish", "Dansk"},          {"miEnglish", "English"},       {"miFrench", "Français"},
    {"miGerman", "Deutsch"},        {"miGreek", "Ελληνικά"},        {"miHebrew", "עברית"},
    {"miHungarian", "Magyar"},      {"miItalian", "Italiano"},      {"miKurdish", "Kurdî"},
    {"miLatvian", "Latviešu"},      {"miNetherlands", "Nederlands"}, {"miPortuguese", "Português"},
    {"miRussian", "Русский"},       {"miSlovenian", "Slovenščina"}, {"miSpanish", "Español"},
    {"miSwedish", "Svenska"},       {"miTurkish", "Türkçe"},        {nullptr, nullptr},
    {"miOther", "Other"},
};

// "Čeština" sorts as "cestina": the base letters, case folded.
QString SortKey(const char* caption) {
  QString key;
  for (const QChar c : QString::fromUtf8(caption).normalized(QString::NormalizationForm_D))
    if (c.category() != QChar::Mark_NonSpacing) key += c.toCaseFolded();
  return key;
}

}  // namespace

std::span<const LanguageMenuItem> LanguageMenuItems() { return kLanguageMenu; }

std::vector<LanguageMenuItem> LanguagesByOwnName() {
  std::vector<LanguageMenuItem> languages;
  for (const LanguageMenuItem& item : kLanguageMenu)
    if (item.objectName && QLatin1String(item.objectName) != QLatin1String("miOther")) languages.push_back(item);
  std::sort(languages.begin(), languages.end(), [](const LanguageMenuItem& a, const LanguageMenuItem& b) {
    return SortKey(a.caption) < SortKey(b.caption);
  });
  return languages;
}

QString LanguageOfMenuItem(const QString& objectName) { return objectName.mid(2); }

}  // namespace trackmill
