#include "jobs/ParanoiaExtractor.h"

#include "audio/wav/WaveOut.h"
#include "cd/CDIn.h"
#include "common/JobReports.h"

namespace trackmill {

ParanoiaExtractor::ParanoiaExtractor(TCDIn& cdIn) : cdIn_(cdIn), wavOutput_(std::make_unique<TWaveOut>()) {
  wavOutput_->SetInput(&cdIn_);
  wavOutput_->SetWavType(TWavType::wtPCM);
  wavOutput_->SetBlockSize(512);
  wavOutput_->SetCreateNonMsHeaders(false);
  wavOutput_->SetFileMode(TFileOutputMode::foRewrite);
  wavOutput_->SetOnProgress([this](TAuOutput* output) {
    PostJobReport(reportTo_, StepProgress{JobStep::Extract, std::max(0, output->Progress()), {}, {}});
  });
  wavOutput_->SetOnThreadException([this](TAuOutput* output) { failure_ = output->ExceptionMessage(); });
  wavOutput_->SetOnDone([this](TAuOutput* output) {
    // A stopped read ends the job; its end is not reported.
    if (output->Stopped()) return;
    PostJobReport(reportTo_, failure_.isEmpty() ? StepEnded{JobStep::Extract, StepOutcome::Done, {}}
                                                : StepEnded{JobStep::Extract, StepOutcome::Skipped, failure_});
  });
  cdIn_.Reset();
  cdIn_.LockTray = true;
}

ParanoiaExtractor::~ParanoiaExtractor() {
  Stop();
  cdIn_.LockTray = false;
}

void ParanoiaExtractor::Start(const JobItem& item, QObject* reportTo) {
  reportTo_ = reportTo;
  failure_.clear();
  wavOutput_->SetFileName(item.wav);
  try {
    cdIn_.SetStartTrack(item.track);
    cdIn_.SetEndTrack(item.track);
    wavOutput_->Run();
  } catch (const std::exception& error) {
    PostJobReport(reportTo_, StepEnded{JobStep::Extract, StepOutcome::Skipped, QString::fromUtf8(error.what())});
  }
}

void ParanoiaExtractor::Stop() {
  if (!wavOutput_->Busy()) return;
  wavOutput_->Pause();
  wavOutput_->Stop(false);
}

}  // namespace trackmill
