#include "jobs/EncoderCommands.h"

#include <array>

namespace trackmill {
namespace {

constexpr std::array<const char*, kWmaSettingCount> kWmaSettings = {
    "192_48_2", "160_48_2", "128_48_2", "192_44_2", "160_44_2", "128_44_2", "96_44_2",
    "80_44_2",  "64_44_2",  "48_44_2",  "32_44_2",  "48_44_1",  "32_44_1",  "48_32_2",
    "40_32_2",  "32_32_2",  "20_32_1",  "32_22_2",  "22_22_2",  "20_22_2",  "20_22_1",
    "16_22_1",  "20_16_2",  "16_16_2",  "16_16_1",  "12_16_1",  "10_16_1",  "10_11_1",
    "8_11_1",   "12_8_2",   "8_8_1",    "6_8_1",    "5_8_1"};

constexpr std::array<int, kWmaSettingCount> kWmaDivisors = {
    7315,  8770,  10949, 7316,  8772,   10954,  14581,  17471,  21790,  28963,  43174,
    28963, 43134, 28999, 34720, 43214,  68873,  43134,  62208,  68264,  68264,  84458,
    67963, 84150, 84150, 110460, 131113, 133765, 165296, 113717, 167692, 220395, 261485};

int ValidIndex(int index) {
  return index >= 0 && index < kWmaSettingCount ? index : kDefaultWmaSetting;
}

// Switches are shown bare, and so are the setting values that follow the numeric ones; file
// names and free texts are shown quoted, as they would have to be typed.
bool IsSwitch(const QString& argument) {
  static const QStringList kSwitches = {"-b", "-m", "-f", "-h", "-V", "-B", "-t", "--decode",
                                        "-input", "-output", "-a_setting", "-author",
                                        "-description"};
  return kSwitches.contains(argument);
}

bool TakesBareValue(const QString& argument) {
  static const QStringList kBare = {"-b", "-m", "-V", "-B", "-a_setting"};
  return kBare.contains(argument);
}

}  // namespace

QString EncoderCommand::DisplayText() const {
  QString text = program;
  bool bareValue = false;
  for (const QString& argument : arguments) {
    text += ' ';
    if (bareValue || IsSwitch(argument))
      text += argument;
    else
      text += '"' + argument + '"';
    bareValue = !bareValue && TakesBareValue(argument);
  }
  return text;
}

QString WmaSettingText(int index) { return QString::fromLatin1(kWmaSettings[ValidIndex(index)]); }

int WmaSizeDivisor(int index) { return kWmaDivisors[ValidIndex(index)]; }

void NormalizeWmaSetting(TSettings& settings) {
  settings.WmaSetting = ValidIndex(settings.WmaSetting);
}

EncoderCommand Mp3EncodeCommand(const TSettings& settings, const QString& lameProgram,
                                const QString& input, const QString& output) {
  EncoderCommand command{lameProgram, {"-b", QString::number(settings.BitRate)}};
  static const char* const kStereoModes[] = {"s", "j", "f", "d", "m"};
  if (settings.StereoMode >= 0 && settings.StereoMode <= 4)
    command.arguments << "-m" << kStereoModes[settings.StereoMode];
  if (settings.MpegQuality == 1) command.arguments << "-f";
  if (settings.MpegQuality == 2) command.arguments << "-h";
  if (settings.IsSelectVBR) {
    command.arguments << "-V" << QString::number(settings.VBRQuality) << "-B"
                      << QString::number(settings.MaxBitRate);
    if (settings.IsVBRHead) command.arguments << "-t";
  }
  command.arguments << input << output;
  return command;
}

EncoderCommand Mp3DecodeCommand(const QString& lameProgram, const QString& input,
                                const QString& output) {
  return {lameProgram, {"--decode", input, output}};
}

EncoderCommand WmaEncodeCommand(const TSettings& settings, const QString& encoderProgram,
                                const QString& input, const QString& output) {
  EncoderCommand command{encoderProgram,
                         {"-input", input, "-output", output, "-a_setting",
                          WmaSettingText(settings.WmaSetting)}};
  if (settings.UseID3) {
    if (!settings.Disc.Artist.isEmpty()) command.arguments << "-author" << settings.Disc.Artist;
    if (!settings.Disc.Comment.isEmpty())
      command.arguments << "-description" << settings.Disc.Comment;
  }
  return command;
}

}  // namespace trackmill
