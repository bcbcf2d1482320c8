#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "tags/FullTags.h"

// ReplayGain 2.0 of the tracks of one job: each WAV measured (EBU R 128 integrated loudness
// and sample peak through libebur128; the reference is -18 LUFS), and the album value over
// all tracks measured so far. One object per job, used by one thread.
namespace trackmill {

inline constexpr double kReplayGainReferenceLufs = -18.0;

class TReplayGainMeter {
 public:
  TReplayGainMeter();
  ~TReplayGainMeter();
  // Reads the WAV (any format the program reads) and keeps its measurement for the album.
  // Nothing for a file that cannot be read or holds no measurable audio.
  std::optional<GainAndPeak> MeasureTrack(const QString& wavPath);
  // Over every track measured; nothing before the first.
  std::optional<GainAndPeak> Album() const;
  void Clear();

 private:
  struct TrackState;  // one track's libebur128 measurement
  std::vector<std::unique_ptr<TrackState>> tracks_;
  double albumPeak_ = 0;
};

}  // namespace trackmill
