#pragma once
#include <QString>
#include <memory>

#include "jobs/TrackExtractor.h"

// The extraction of the paranoia CD input, for a drive the drive layer cannot open: each
// track as the input reads it into its WAV (no read offset, normalising or length limit, no
// checksums). The tray stays locked while the extractor lives. The CD input is not owned and
// must outlive the extractor.
namespace trackmill {

class TCDIn;
class TWaveOut;

class ParanoiaExtractor : public TTrackExtractor {
 public:
  explicit ParanoiaExtractor(TCDIn& cdIn);
  ~ParanoiaExtractor() override;
  void Start(const JobItem& item, QObject* reportTo) override;
  void Stop() override;

 private:
  TCDIn& cdIn_;
  std::unique_ptr<TWaveOut> wavOutput_;
  QObject* reportTo_ = nullptr;
  QString failure_;  // set by the output's worker before its end
};

}  // namespace trackmill
