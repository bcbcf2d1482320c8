#include "app/shell/OptionRules.h"

#include "common/JobCodes.h"

namespace trackmill {

bool IsOptionEnabled(OptionControl control, const OptionState& state) {
  switch (control) {
    case OptionControl::KeepWav: return state.outputFormat != output_format::kWav;
    case OptionControl::Normalize: return !state.fallbackDrive;
    case OptionControl::NormalizePercent: return state.normalize && !state.fallbackDrive;
    case OptionControl::RipTime: return state.ripTimeLimit;
    case OptionControl::VbrTag:
    case OptionControl::MaxBitRate:
    case OptionControl::VbrQuality: return state.vbr;
    case OptionControl::AccurateRipServer: return state.accurateRip;
    case OptionControl::RipTimeGroup: break;
  }
  return true;
}

bool IsOptionVisible(OptionControl control, const OptionState& state) {
  return control != OptionControl::RipTimeGroup || !state.fallbackDrive;
}

QString BitRateText(int kbps) { return QStringLiteral("%1 kbit/s").arg(kbps, 3); }

std::optional<qint32> ParseBitRateText(const QString& text) {
  bool ok = false;
  const qint32 kbps = text.left(3).trimmed().toInt(&ok);
  if (!ok || kbps <= 0) return std::nullopt;
  return kbps;
}

std::optional<qint32> ParseRipTime(const QString& text) {
  bool ok = false;
  const qint32 seconds = text.trimmed().toInt(&ok);
  if (!ok || seconds < 0) return std::nullopt;
  return seconds;
}

}  // namespace trackmill
