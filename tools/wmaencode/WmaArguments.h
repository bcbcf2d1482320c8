#pragma once
#include <optional>
#include <string>
#include <vector>

// Command line of the WMA encoder program:
//   -input FILE -output FILE -a_setting KBPS_KHZ_CH [-author TEXT] [-description TEXT]
// KBPS is the bit rate in kbit/s, KHZ the sample rate in whole kHz (44 means 44100,
// 22 means 22050, 11 means 11025) and CH the channel count (1 or 2).
namespace trackmill::wma {

struct EncoderSetting {
  int bitRateKbps = 0;
  int sampleRateHz = 0;
  int channels = 0;
};

struct EncoderArguments {
  std::string input;
  std::string output;
  EncoderSetting setting;
  std::string author;
  std::string description;
};

// Parses "64_44_2" and the like; nothing when the text is malformed or out of range.
std::optional<EncoderSetting> ParseSetting(const std::string& text);

// Parses the argument vector (without the program name). On failure returns nothing and
// sets error to a one-line reason.
std::optional<EncoderArguments> ParseArguments(const std::vector<std::string>& args,
                                               std::string& error);

}  // namespace trackmill::wma
