#pragma once
#include <memory>

#include "cd/CDRipThread.h"
#include "jobs/TrackExtractor.h"

// The drive layer's extraction: one TCDRipThread for the track, reading through the open drive
// with the layout the whole rip shares and the options of the job's settings.
namespace trackmill {

class DriveExtractor : public TTrackExtractor {
 public:
  DriveExtractor(std::shared_ptr<CdDrive> drive, std::shared_ptr<const DiscLayout> disc, RipOptions options);
  ~DriveExtractor() override;
  void Start(const JobItem& item, QObject* reportTo) override;
  void Stop() override;
  AccurateRipChecksums Checksums() const override;
  CopyReport Copy() const override;
  QString NormalizeError() const override;

 private:
  std::shared_ptr<CdDrive> drive_;
  std::shared_ptr<const DiscLayout> disc_;
  RipOptions options_;
  std::unique_ptr<TCDRipThread> thread_;
};

}  // namespace trackmill
