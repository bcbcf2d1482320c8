#include "jobs/FallbackRip.h"

#include "common/JobCodes.h"
#include "common/TextForms.h"
#include "jobs/JobRunner.h"
#include "jobs/ParanoiaExtractor.h"
#include "settings/Settings.h"

namespace trackmill {

TFallbackRip::TFallbackRip(TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
                           TWMAEncodeProcess* wmaRunner, QObject* parent)
    : QObject(parent),
      job_(std::make_unique<TJobRunner>(job_kind::kRipCd, nullptr, items, mp3Runner, wmaRunner, nullptr)),
      format_(Settings().OutputFormat) {
  if (!output_format::IsKnown(format_)) format_ = output_format::kMp3;
  TSettings settings = Settings();
  settings.OutputFormat = format_;
  job_->SetExtraction(std::make_unique<ParanoiaExtractor>(cdIn), {true, true}, settings);
  connect(job_.get(), &TJobRunner::Changed, this, &TFallbackRip::Changed);
  connect(job_.get(), &TJobRunner::InformationMessage, this, &TFallbackRip::InformationMessage);
  connect(job_.get(), &TJobRunner::ItemSettled, this, &TFallbackRip::NoteSettled);
  connect(job_.get(), &TJobRunner::Finished, this, &TFallbackRip::Finished);
}

TFallbackRip::~TFallbackRip() = default;

void TFallbackRip::Start() { job_->Start(); }

void TFallbackRip::Stop() { job_->Stop(); }

void TFallbackRip::NoteSettled(int item) {
  if (job_->ItemResults()[size_t(item)] != JobItemResult::Failed) return;
  QString failure = job_->FailureOf(item);
  if (failure.isEmpty()) failure = QStringLiteral("the encoder did not finish");
  errors_ << job_->Items()[size_t(item)].title + ": " + failure;
}

QString TFallbackRip::CurrentTrack() const {
  const int item = job_->CurrentItem();
  return item >= 0 && item < SelectedCount() ? job_->Items()[size_t(item)].title : QString();
}

QString TFallbackRip::OutputFormatName() const { return trackmill::OutputFormatName(format_); }

int TFallbackRip::SelectedCount() const { return job_->ItemCount(); }

int TFallbackRip::CompletedCount() const {
  // The tracks before the one being read or encoded; all of them once the rip has ended.
  return job_->IsFinished() ? SelectedCount() : job_->CurrentItem();
}

QString TFallbackRip::ProgressHint() const {
  return job_->IsExtracting() ? QStringLiteral("Extracting...") : QStringLiteral("Encoding...");
}

QString TFallbackRip::GaugeHint() const {
  return job_->IsExtracting() ? QStringLiteral("Initializing...") : QStringLiteral("Encoding...");
}

int TFallbackRip::GaugePercent() const { return job_->GaugePercent(); }

bool TFallbackRip::IsFinished() const { return job_->IsFinished(); }

}  // namespace trackmill
