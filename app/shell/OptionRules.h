#pragma once
#include <QString>
#include <array>
#include <optional>

// What the options dialog decides, without widgets: which of its controls the user can reach,
// and how the texts typed into it become setting values. The dialog re-evaluates the rules
// whenever one of the boxes or the output format changes. Pure functions.
namespace trackmill {

enum class OptionControl {
  KeepWav,           // "Delete WAV file after processing": a WAV output has no WAV to delete
  Normalize,         // the paranoia input's window does not normalise
  NormalizePercent,  // follows Normalize
  RipTimeGroup,      // the length limit; the paranoia input's window reads whole tracks
  RipTime,           // follows its box
  VbrTag,            // these three follow "Enable Variable Bitrate(VBR)"
  MaxBitRate,
  VbrQuality,
  AccurateRipServer,  // follows the AccurateRip box
};

// What the rules look at.
struct OptionState {
  qint32 outputFormat = 0;  // output_format::k*
  bool normalize = false;
  bool ripTimeLimit = false;
  bool vbr = false;
  bool accurateRip = false;
  bool fallbackDrive = false;  // the drive layer gave no handle: the paranoia input reads
};

bool IsOptionEnabled(OptionControl control, const OptionState& state);
// Only the length limit ever hides.
bool IsOptionVisible(OptionControl control, const OptionState& state);

// The MP3 bit rates the lists offer, in kbit/s.
inline constexpr std::array<int, 14> kMp3BitRates{32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
// "128 kbit/s", the number right-aligned in three places as the lists show it (" 32 kbit/s").
QString BitRateText(int kbps);
// A bit rate as a list gives it or the user typed it: its first three characters, trimmed,
// as a number above 0. Nothing for anything else ("abc", "0", "").
std::optional<qint32> ParseBitRateText(const QString& text);
// The length limit in seconds: a whole number, 0 or more. A negative one would extract
// nothing and call it done.
std::optional<qint32> ParseRipTime(const QString& text);

}  // namespace trackmill
