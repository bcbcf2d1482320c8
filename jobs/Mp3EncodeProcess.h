#pragma once
#include "jobs/EncodeProcess.h"

// The MP3 runner: lame encodes a WAV (EncodeMode true) or decodes an MP3 to WAV (false).
// lame is looked up beside the program first, then on PATH. Completion records carry
// Percent 2000 and are posted. Contract as TEncodeProcess.
namespace trackmill {

class TMp3EncodeProcess : public TEncodeProcess {
  Q_OBJECT
 public:
  explicit TMp3EncodeProcess(QObject* parent = nullptr);

  bool EncodeMode = true;
  // Empty: found as described above.
  QString LameProgram;

 protected:
  bool AsksBeforeOverwrite() const override;
  std::optional<EncoderCommand> BuildCommand() override;
  void DeliverCompletion(StepEnded end) override;
};

}  // namespace trackmill
