#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/dsp/ChebyshevLowPass.h"

// The sample-rate change of the resampler, one block of input at a time.
// Rates are handled in fifths of a second: the input step is (input rate div 5) frames, the
// output step (output rate div 5) frames. Upsampling repeats input frames (zero-order hold)
// and then low-passes; downsampling low-passes and then drops frames. Both count with an
// accumulator that starts at zero for every block, so the first input frame of a block is
// used exactly once; a 4410-frame block at 22050 -> 44100 Hz gives 8819 frames.
// The cutoff is 0.425 x (smaller step / larger step) of the higher rate. Filter histories
// carry over between blocks. Buffers are sized at construction; Process never allocates.
// Not thread-safe; one per stream.
namespace trackmill {

class BlockResampler {
 public:
  // channels 1..ChebyshevLowPass::kMaxChannels, bitsPerSample 8, 16, 24 or 32, both rates
  // at least 5 Hz. The caller checks these (IsSupported).
  BlockResampler(std::uint32_t inRate, std::uint32_t outRate, int channels, int bitsPerSample);

  static bool IsSupported(std::uint32_t inRate, std::uint32_t outRate, int channels,
                          int bitsPerSample);

  // True when both steps are equal: the data needs no change.
  bool PassesThrough() const { return inStepBytes_ == outStepBytes_; }
  std::size_t FrameBytes() const { return frameBytes_; }
  std::size_t InputStepBytes() const { return inStepBytes_; }
  std::size_t OutputStepBytes() const { return outStepBytes_; }
  // Upper bound of Process's result for a block of InputStepBytes().
  std::size_t MaxOutputBytes() const { return outCapacityFrames_ * frameBytes_; }
  // The cutoff frequency as a fraction of the higher rate.
  double CutoffFraction() const { return cutoff_; }

  // Resamples the whole frames of inBytes bytes (at most InputStepBytes()) into out, which
  // holds MaxOutputBytes(). Returns the bytes written.
  std::size_t Process(const std::uint8_t* in, std::size_t inBytes, std::uint8_t* out);

 private:
  std::size_t Stretch(std::size_t inFrames);
  std::size_t Decimate(std::size_t inFrames);

  int channels_;
  int bitsPerSample_;
  std::size_t frameBytes_;
  std::size_t inStepBytes_;
  std::size_t outStepBytes_;
  std::size_t inBlockFrames_;
  std::size_t outCapacityFrames_;
  double cutoff_ = 0.5;
  ChebyshevLowPass filter_;
  std::vector<float> inFloats_;
  std::vector<float> work_;
};

}  // namespace trackmill
