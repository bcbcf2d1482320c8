#include "jobs/WmaEstimate.h"

#include <cmath>

#include "common/TextForms.h"
#include "jobs/EncoderCommands.h"

namespace trackmill {

// Below this input size the encode takes about two seconds whatever the setting.
constexpr qint64 kSmallInputBytes = 2000000;

WmaEstimate EstimateWma(qint64 elapsedMs, bool encoderRunning, qint64 inputBytes,
                        qint64 outputBytes, int settingIndex) {
  WmaEstimate result;
  const qint64 elapsed = std::llround(elapsedMs / 1000.0);
  result.elapsedText = DurationText(elapsed);
  if (!encoderRunning) return result;
  qint64 estimate = 2;
  if (inputBytes >= kSmallInputBytes) {
    qint64 expected = std::llround(double(inputBytes) * 1000.0 / WmaSizeDivisor(settingIndex));
    if (outputBytes > expected) expected = outputBytes;
    // No output yet says nothing about the speed.
    if (outputBytes <= 0) return result;
    estimate = expected * elapsed / outputBytes;
  }
  if (elapsed >= estimate) estimate = elapsed + 1;
  result.hasEstimate = true;
  result.estimatedText = DurationText(estimate);
  result.percent = static_cast<int>(std::llround(elapsed * 100.0 / estimate));
  return result;
}

}  // namespace trackmill
