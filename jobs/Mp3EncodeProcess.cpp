#include "jobs/Mp3EncodeProcess.h"

#include "common/DataFolder.h"
#include "common/JobEvents.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {

TMp3EncodeProcess::TMp3EncodeProcess(QObject* parent)
    : TEncodeProcess(EncoderOutputKind::Mp3Encode, status::kMp3Ended, parent) {}

bool TMp3EncodeProcess::AsksBeforeOverwrite() const {
  return JobKind != job_kind::kRipCd && JobKind != job_kind::kRecorderWavToMp3;
}

std::optional<EncoderCommand> TMp3EncodeProcess::BuildCommand() {
  const QString lame = LameProgram.isEmpty() ? FindProgram(QStringLiteral("lame")) : LameProgram;
  if (lame.isEmpty())
    throw EEncoderError(LangString("RES_NoMp3Encoder"));
  SetOutputKind(EncodeMode ? EncoderOutputKind::Mp3Encode : EncoderOutputKind::Mp3Decode);
  if (EncodeMode)
    return Mp3EncodeCommand(CommandSettings ? *CommandSettings : Settings(), lame, InputFile, OutputFile);
  return Mp3DecodeCommand(lame, InputFile, OutputFile);
}

void TMp3EncodeProcess::DeliverCompletion(std::unique_ptr<TProcessInfo> info) {
  PostJobProgress(ReportTo, std::move(info));
}

}  // namespace trackmill
