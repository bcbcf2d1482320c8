#include "jobs/DriveExtractor.h"

namespace trackmill {

DriveExtractor::DriveExtractor(std::shared_ptr<CdDrive> drive, std::shared_ptr<const DiscLayout> disc,
                               RipOptions options)
    : drive_(std::move(drive)), disc_(std::move(disc)), options_(options) {}

DriveExtractor::~DriveExtractor() { Stop(); }

void DriveExtractor::Start(const JobItem& item, QObject* reportTo) {
  thread_ = std::make_unique<TCDRipThread>(item.track, item.wav, disc_);
  thread_->Drive = drive_;
  thread_->Options = options_;
  thread_->ReportTo = reportTo;
  thread_->start();
}

void DriveExtractor::Stop() {
  if (!thread_) return;
  thread_->Stopped = true;
  thread_.reset();  // waits for the read in progress
}

CopyReport DriveExtractor::Copy() const { return thread_ ? thread_->Copy() : CopyReport{}; }

AccurateRipChecksums DriveExtractor::Checksums() const { return thread_ ? thread_->Checksums() : AccurateRipChecksums{}; }

QString DriveExtractor::NormalizeError() const { return thread_ ? thread_->NormalizeError() : QString(); }

}  // namespace trackmill
