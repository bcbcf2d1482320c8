#pragma once
#include <QString>

// Fixed facts about the program: the title that captions every message box and the version.
namespace trackmill {
inline constexpr char kAppTitle[] = "Trackmill";
inline constexpr char kAppVersion[] = "4.1";
}  // namespace trackmill
