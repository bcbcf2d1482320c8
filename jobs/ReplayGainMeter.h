#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "tags/FullTags.h"

// ReplayGain 2.0 of the tracks of one job: each WAV measured (EBU R 128 integrated loudness
// and sample peak through libebur128; the reference is -18 LUFS), and the album value over
// all tracks measured so far. One object per job, used by one thread; Measure alone may run
// on any thread.
namespace trackmill {

inline constexpr double kReplayGainReferenceLufs = -18.0;

class TReplayGainMeter {
 public:
  struct TrackState;  // one track's libebur128 measurement and its gain

  TReplayGainMeter();
  ~TReplayGainMeter();
  // Reads the WAV (any format the program reads) and measures it. Null for a file that cannot
  // be read or holds no measurable audio.
  static std::shared_ptr<TrackState> Measure(const QString& wavPath);
  // Keeps a measurement for the album and gives its gain; nothing for a null one.
  std::optional<GainAndPeak> AddTrack(std::shared_ptr<TrackState> track);
  std::optional<GainAndPeak> MeasureTrack(const QString& wavPath) { return AddTrack(Measure(wavPath)); }
  // Over every track measured; nothing before the first.
  std::optional<GainAndPeak> Album() const;
  void Clear();

 private:
  std::vector<std::shared_ptr<TrackState>> tracks_;
  double albumPeak_ = 0;
};

}  // namespace trackmill
