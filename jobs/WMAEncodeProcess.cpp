#include "jobs/WMAEncodeProcess.h"

#include "common/DataFolder.h"
#include "common/JobReports.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {

TWMAEncodeProcess::TWMAEncodeProcess(QObject* parent)
    : TEncodeProcess(EncoderOutputKind::WmaEncode, parent) {}

bool TWMAEncodeProcess::AsksBeforeOverwrite() const { return JobKind != job_kind::kRipCd; }

std::optional<EncoderCommand> TWMAEncodeProcess::BuildCommand() {
  const QString program = EncoderProgram.isEmpty()
                              ? FindProgram(QString::fromLatin1(kWmaEncoderProgram))
                              : EncoderProgram;
  if (program.isEmpty()) {
    emit InformationMessage(LangString("RES_NoWmaEncoder"));
    Complete(StepOutcome::Declined);
    return std::nullopt;
  }
  if (CommandSettings) return WmaEncodeCommand(*CommandSettings, program, InputFile, OutputFile);
  NormalizeWmaSetting(Settings());
  return WmaEncodeCommand(Settings(), program, InputFile, OutputFile);
}

void TWMAEncodeProcess::DeliverCompletion(StepEnded end) {
  SendJobReport(ReportTo, std::move(end));
}

}  // namespace trackmill
