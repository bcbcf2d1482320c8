#pragma once
#include <array>
#include <cstddef>

// The anti-alias / anti-image filter of the resampler: a 4-pole Chebyshev low-pass with 5 %
// pass-band ripple (two cascaded two-pole sections, bilinear transform), normalised to unity
// gain at zero frequency, run as four identical stages in series on each channel.
// One object filters one interleaved stream of up to kMaxChannels channels; the history of
// every channel and stage carries over from one block to the next, so a stream may be fed
// in blocks of any size with the same result. Not thread-safe; one per stream.
namespace trackmill {

struct ChebyshevCoefficients {
  // y[n] = a[0]x[n] + ... + a[4]x[n-4] + b[0]y[n-1] + ... + b[3]y[n-4]
  std::array<double, 5> a{};
  std::array<double, 4> b{};
};

// Designs the filter for a cutoff given as a fraction of the sample rate (0 < fc < 0.5).
ChebyshevCoefficients DesignChebyshevLowPass(double cutoffFraction);

// What one stage of one channel remembers of the samples before the current one.
struct ChebyshevStageHistory {
  double x1 = 0, x2 = 0, x3 = 0, x4 = 0;
  double y1 = 0, y2 = 0, y3 = 0, y4 = 0;
};

class ChebyshevLowPass {
 public:
  static constexpr int kMaxChannels = 8;
  static constexpr int kStages = 4;

  ChebyshevLowPass(const ChebyshevCoefficients& coefficients, int channels);

  // Filters frameCount interleaved frames in place.
  void Process(float* frames, std::size_t frameCount);
  // Forgets the history (silence before the next block).
  void Reset();

 private:
  using ChannelHistory = std::array<ChebyshevStageHistory, kStages>;

  ChebyshevCoefficients c_;
  int channels_;
  std::array<ChannelHistory, kMaxChannels> history_{};
};

}  // namespace trackmill
