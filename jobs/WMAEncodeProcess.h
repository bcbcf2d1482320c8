#pragma once
#include "jobs/EncodeProcess.h"

// The WMA runner: the project's WMA encoder program encodes a WAV to WMA with the setting
// WmaSetting of the settings (reset to the default there when out of range). The program is
// looked up beside trackmill, then on PATH; when it is missing the user is told
// (InformationMessage) and the completion record carries code 0. Completion records carry
// Percent 5000 and are sent (the caller's handler has run when delivery returns).
// Contract as TEncodeProcess.
namespace trackmill {

inline constexpr char kWmaEncoderProgram[] = "trackmill-wma-encoder";

class TWMAEncodeProcess : public TEncodeProcess {
  Q_OBJECT
 public:
  explicit TWMAEncodeProcess(QObject* parent = nullptr);

  // Empty: found as described above.
  QString EncoderProgram;

 protected:
  bool AsksBeforeOverwrite() const override;
  std::optional<EncoderCommand> BuildCommand() override;
  void DeliverCompletion(StepEnded end) override;
};

}  // namespace trackmill
