#pragma once
#include <QString>

// The time estimate shown while a WMA encode runs: the encoder reports nothing until it ends,
// so the total is guessed from the input size, the expected compression of the setting and
// the growing output file. Pure function; thread-safe.
namespace trackmill {

struct WmaEstimate {
  QString elapsedText;       // always set
  bool hasEstimate = false;  // false: leave the estimate and the gauge as they are
  QString estimatedText;
  int percent = 0;           // elapsed * 100 / estimate, rounded
};

// inputBytes: size of the WAV (-1 unknown); outputBytes: size of the WMA so far (-1 when it
// does not exist yet); settingIndex: the WMA setting (out-of-range means the default).
WmaEstimate EstimateWma(qint64 elapsedMs, bool encoderRunning, qint64 inputBytes,
                        qint64 outputBytes, int settingIndex);

}  // namespace trackmill
