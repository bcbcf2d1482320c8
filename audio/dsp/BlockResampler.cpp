#include "audio/dsp/BlockResampler.h"

#include <algorithm>
#include <cstring>

#include "audio/dsp/SampleFormat.h"

namespace trackmill {

namespace {

double CutoffFor(std::size_t inStep, std::size_t outStep) {
  if (inStep == 0 || outStep == 0) return 0.425;
  const double r = static_cast<double>(std::min(inStep, outStep)) /
                   static_cast<double>(std::max(inStep, outStep));
  return 0.425 * r;
}

}  // namespace

bool BlockResampler::IsSupported(std::uint32_t inRate, std::uint32_t outRate, int channels,
                                 int bitsPerSample) {
  return inRate >= 5 && outRate >= 5 && channels >= 1 &&
         channels <= ChebyshevLowPass::kMaxChannels && samples::IsSupportedWidth(bitsPerSample);
}

BlockResampler::BlockResampler(std::uint32_t inRate, std::uint32_t outRate, int channels,
                               int bitsPerSample)
    : channels_(std::clamp(channels, 1, ChebyshevLowPass::kMaxChannels)),
      bitsPerSample_(bitsPerSample),
      frameBytes_(static_cast<std::size_t>(channels_) * static_cast<std::size_t>(bitsPerSample / 8)),
      inStepBytes_(static_cast<std::size_t>(inRate / 5) * frameBytes_),
      outStepBytes_(frameBytes_ * static_cast<std::size_t>(outRate / 5)),
      inBlockFrames_(inRate / 5),
      outCapacityFrames_(inRate / 5),
      cutoff_(CutoffFor(inStepBytes_, outStepBytes_)),
      filter_(DesignChebyshevLowPass(cutoff_), channels_) {
  if (PassesThrough() || frameBytes_ == 0 || inBlockFrames_ == 0) return;
  const std::size_t inFrames5 = inRate / 5;
  const std::size_t outFrames5 = outRate / 5;
  if (inFrames5 < outFrames5) {
    // Smallest multiple of the input block, at least two, that reaches the output step;
    // never below what the hold can actually produce (ceil(ratio) frames per input frame).
    std::size_t k = 2;
    while (k * inFrames5 < outFrames5) ++k;
    const std::size_t perFrame = (outStepBytes_ + inStepBytes_ - 1) / inStepBytes_;
    outCapacityFrames_ = std::max(k * inFrames5, inBlockFrames_ * perFrame);
  }
  inFloats_.resize(inBlockFrames_ * static_cast<std::size_t>(channels_));
  work_.resize(outCapacityFrames_ * static_cast<std::size_t>(channels_));
}

std::size_t BlockResampler::Process(const std::uint8_t* in, std::size_t inBytes,
                                    std::uint8_t* out) {
  if (PassesThrough()) {
    std::memcpy(out, in, inBytes);
    return inBytes;
  }
  if (frameBytes_ == 0) return 0;
  const std::size_t inFrames = std::min(inBytes / frameBytes_, inBlockFrames_);
  if (inFrames == 0) return 0;
  const std::size_t sampleCount = inFrames * static_cast<std::size_t>(channels_);
  samples::ToFloats(in, bitsPerSample_, sampleCount, inFloats_.data());

  std::size_t outFrames;
  const float* result;
  if (inStepBytes_ < outStepBytes_) {
    outFrames = Stretch(inFrames);
    filter_.Process(work_.data(), outFrames);
    result = work_.data();
  } else {
    filter_.Process(inFloats_.data(), inFrames);
    outFrames = Decimate(inFrames);
    result = inFloats_.data();
  }
  samples::FromFloats(result, outFrames * static_cast<std::size_t>(channels_), bitsPerSample_,
                      out);
  return outFrames * frameBytes_;
}

std::size_t BlockResampler::Stretch(std::size_t inFrames) {
  const std::size_t ch = static_cast<std::size_t>(channels_);
  const std::int64_t inStep = static_cast<std::int64_t>(inStepBytes_);
  const std::int64_t outStep = static_cast<std::int64_t>(outStepBytes_);
  std::int64_t acc = 0;
  std::size_t src = 0;
  std::size_t dst = 0;
  while (src < inFrames && dst < outCapacityFrames_) {
    for (std::size_t c = 0; c < ch; ++c) work_[dst * ch + c] = inFloats_[src * ch + c];
    ++dst;
    acc -= inStep;
    if (acc < 0) {
      acc += outStep;
      ++src;
    }
  }
  return dst;
}

std::size_t BlockResampler::Decimate(std::size_t inFrames) {
  const std::size_t ch = static_cast<std::size_t>(channels_);
  const std::int64_t inStep = static_cast<std::int64_t>(inStepBytes_);
  const std::int64_t outStep = static_cast<std::int64_t>(outStepBytes_);
  std::int64_t acc = 0;
  std::size_t dst = 0;
  for (std::size_t src = 0; src < inFrames; ++src) {
    acc -= outStep;
    if (acc < 0) {
      // dst never passes src, so a forward copy within the buffer is safe.
      for (std::size_t c = 0; c < ch; ++c) inFloats_[dst * ch + c] = inFloats_[src * ch + c];
      ++dst;
      acc += inStep;
    }
  }
  return dst;
}

}  // namespace trackmill
