#pragma once
#include <QString>
#include <QStringList>

#include "settings/Settings.h"

// Command lines of the external encoders, built from the settings. A command is kept as a
// program and an argument vector (each file name, artist or comment is exactly one argument,
// whatever it contains; no shell ever sees it) plus the text form shown to the user.
// Pure functions; thread-safe.
namespace trackmill {

struct EncoderCommand {
  QString program;
  QStringList arguments;
  // The command as one line, with file names (and free texts) in double quotes.
  QString DisplayText() const;
};

inline constexpr int kWmaSettingCount = 33;
inline constexpr int kDefaultWmaSetting = 8;

// "KBPS_KHZ_CH" of a WMA setting index 0..32 (the default's text for any other index).
QString WmaSettingText(int index);
// Ratio WAV size / expected WMA size x 1000 of a setting index (the default's for others).
int WmaSizeDivisor(int index);
// Resets an out-of-range WmaSetting to the default in the record, as the encoder start does.
void NormalizeWmaSetting(TSettings& settings);

EncoderCommand Mp3EncodeCommand(const TSettings& settings, const QString& lameProgram,
                                const QString& input, const QString& output);
EncoderCommand Mp3DecodeCommand(const QString& lameProgram, const QString& input,
                                const QString& output);
// Artist and comment come from the disc fields and are passed only with the ID3 option on.
EncoderCommand WmaEncodeCommand(const TSettings& settings, const QString& encoderProgram,
                                const QString& input, const QString& output);

}  // namespace trackmill
