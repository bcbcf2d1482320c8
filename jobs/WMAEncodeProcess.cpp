#include "jobs/WMAEncodeProcess.h"

#include "common/DataFolder.h"
#include "common/JobEvents.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {

TWMAEncodeProcess::TWMAEncodeProcess(QObject* parent)
    : TEncodeProcess(EncoderOutputKind::WmaEncode, status::kWmaEnded, parent) {}

bool TWMAEncodeProcess::AsksBeforeOverwrite() const { return JobKind != job_kind::kRipCd; }

std::optional<EncoderCommand> TWMAEncodeProcess::BuildCommand() {
  const QString program = EncoderProgram.isEmpty()
                              ? FindProgram(QString::fromLatin1(kWmaEncoderProgram))
                              : EncoderProgram;
  if (program.isEmpty()) {
    emit InformationMessage(LangString("RES_NoWmaEncoder"));
    Complete(0);
    return std::nullopt;
  }
  if (CommandSettings) return WmaEncodeCommand(*CommandSettings, program, InputFile, OutputFile);
  NormalizeWmaSetting(Settings());
  return WmaEncodeCommand(Settings(), program, InputFile, OutputFile);
}

void TWMAEncodeProcess::DeliverCompletion(std::unique_ptr<TProcessInfo> info) {
  SendJobProgress(ReportTo, std::move(info));
}

}  // namespace trackmill
