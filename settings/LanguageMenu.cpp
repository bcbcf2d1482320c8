#include "settings/LanguageMenu.h"

namespace trackmill {
namespace {

constexpr LanguageMenuItem kLanguageMenu[] = {
    {"miArabic", "&Arabic"},         {"miChinese", "&Chinese"},     {"miCzech", "C&zech"},
    {"miDanish", "&Danish"},         {"miEnglish", "&English"},     {"miFrench", "&French"},
    {"miGerman", "&German"},         {"miGreek", "G&reek"},         {"miHebrew", "He&brew"},
    {"miHungarian", "&Hungarian"},   {"miItalian", "&Italian"},     {"miKurdish", "&Kurdish"},
    {"miLatvian", "&Latvian"},       {"miNetherlands", "&Netherlands"}, {"miPortuguese", "&Portuguese"},
    {"miRussian", "&Russian"},       {"miSlovenian", "Slo&venian"}, {"miSpanish", "&Spanish"},
    {"miSwedish", "S&wedish"},       {"miTurkish", "&Turkish"},     {nullptr, nullptr},
    {"miOther", "Other"},
};

}  // namespace

std::span<const LanguageMenuItem> LanguageMenuItems() { return kLanguageMenu; }

QString LanguageOfMenuItem(const QString& objectName) { return objectName.mid(2); }

}  // namespace trackmill
