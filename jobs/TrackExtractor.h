#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "cd/CopyReport.h"
#include "cd/DiscLayout.h"
#include "cd/Drive.h"
#include "common/JobItem.h"
#include "verify/AccurateRipSum.h"

// Reads one CD track of a rip into the WAV its item planned (item.wav), reporting to the job
// as job reports (common/JobReports.h): progress of JobStep::Extract, possibly StepStarted and
// progress of JobStep::Normalize, and one StepEnded of JobStep::Extract. A job makes its
// extractor once and reads one track at a time through it.
//
// Two sources: the drive layer (DriveExtractor: the extraction thread, the shared disc layout,
// the read offset, normalising and the length limit of the settings) and the paranoia CD input
// (ParanoiaExtractor: the track as the drive gives it, nothing more) when the drive layer has
// no handle. Main thread only; Stop() ends the read at once, without a further report.
namespace trackmill {

class TTrackExtractor {
 public:
  virtual ~TTrackExtractor() = default;
  virtual void Start(const JobItem& item, QObject* reportTo) = 0;
  virtual void Stop() = 0;
  // Valid after a successful end: the checksums of the audio as read (invalid when unknown)
  // and why the normalising pass failed (empty when it ran or was not asked for).
  virtual AccurateRipChecksums Checksums() const { return {}; }
  virtual CopyReport Copy() const { return {}; }
  virtual QString NormalizeError() const { return {}; }
};

}  // namespace trackmill
