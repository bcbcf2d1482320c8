#include "tools/wmaencode/WmaArguments.h"

#include <charconv>

namespace trackmill::wma {
namespace {

std::optional<int> ParseNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

// The setting names rates in whole kHz; the rates of the 44.1 kHz family are spelled short.
std::optional<int> RateFromKhz(int khz) {
  switch (khz) {
    case 48: return 48000;
    case 44: return 44100;
    case 32: return 32000;
    case 22: return 22050;
    case 16: return 16000;
    case 11: return 11025;
    case 8: return 8000;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<EncoderSetting> ParseSetting(const std::string& text) {
  const auto first = text.find('_');
  if (first == std::string::npos) return std::nullopt;
  const auto second = text.find('_', first + 1);
  if (second == std::string::npos) return std::nullopt;
  const auto kbps = ParseNumber(text.substr(0, first));
  const auto khz = ParseNumber(text.substr(first + 1, second - first - 1));
  const auto channels = ParseNumber(text.substr(second + 1));
  if (!kbps || !khz || !channels) return std::nullopt;
  const auto rate = RateFromKhz(*khz);
  if (!rate || *kbps < 1 || *kbps > 320 || (*channels != 1 && *channels != 2)) return std::nullopt;
  return EncoderSetting{*kbps, *rate, *channels};
}

std::optional<EncoderArguments> ParseArguments(const std::vector<std::string>& args,
                                               std::string& error) {
  EncoderArguments parsed;
  bool haveSetting = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      error = "missing value after " + name;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (name == "-input") {
      parsed.input = value;
    } else if (name == "-output") {
      parsed.output = value;
    } else if (name == "-author") {
      parsed.author = value;
    } else if (name == "-description") {
      parsed.description = value;
    } else if (name == "-a_setting") {
      const auto setting = ParseSetting(value);
      if (!setting) {
        error = "unknown audio setting " + value;
        return std::nullopt;
      }
      parsed.setting = *setting;
      haveSetting = true;
    } else {
      error = "unknown switch " + name;
      return std::nullopt;
    }
  }
  if (parsed.input.empty() || parsed.output.empty() || !haveSetting) {
    error = "usage: -input FILE -output FILE -a_setting KBPS_KHZ_CH [-author TEXT] [-description TEXT]";
    return std::nullopt;
  }
  return parsed;
}

}  // namespace trackmill::wma
