#include "audio/dsp/ChebyshevLowPass.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trackmill {

namespace {

constexpr int kPoles = 4;
constexpr double kRipplePercent = 5.0;

struct Section {
  double a0, a1, a2, b1, b2;
};

// One two-pole section (pole pair p = 1..kPoles/2) of the low-pass, in the z-domain.
Section DesignSection(double cutoff, int p) {
  const double pi = std::numbers::pi;
  const double angle = pi / (kPoles * 2.0) + (p - 1) * pi / kPoles;
  double rp = -std::cos(angle);
  double ip = std::sin(angle);

  // Warp the Butterworth circle onto the Chebyshev ellipse.
  const double es = std::sqrt(std::pow(100.0 / (100.0 - kRipplePercent), 2) - 1.0);
  const double vx = (1.0 / kPoles) * std::log(1.0 / es + std::sqrt(1.0 / (es * es) + 1.0));
  double kx = (1.0 / kPoles) * std::log(1.0 / es + std::sqrt(1.0 / (es * es) - 1.0));
  kx = (std::exp(kx) + std::exp(-kx)) / 2.0;
  rp = rp * ((std::exp(vx) - std::exp(-vx)) / 2.0) / kx;
  ip = ip * ((std::exp(vx) + std::exp(-vx)) / 2.0) / kx;

  // s-domain to z-domain (bilinear), then low-pass to low-pass frequency change.
  const double t = 2.0 * std::tan(0.5);
  const double w = 2.0 * pi * cutoff;
  const double m = rp * rp + ip * ip;
  double d = 4.0 - 4.0 * rp * t + m * t * t;
  const double x0 = t * t / d;
  const double x1 = 2.0 * t * t / d;
  const double x2 = t * t / d;
  const double y1 = (8.0 - 2.0 * m * t * t) / d;
  const double y2 = (-4.0 - 4.0 * rp * t - m * t * t) / d;
  const double k = std::sin(0.5 - w / 2.0) / std::sin(0.5 + w / 2.0);
  d = 1.0 + y1 * k - y2 * k * k;
  Section s;
  s.a0 = (x0 - x1 * k + x2 * k * k) / d;
  s.a1 = (-2.0 * x0 * k + x1 + x1 * k * k - 2.0 * x2 * k) / d;
  s.a2 = (x0 * k * k - x1 * k + x2) / d;
  s.b1 = (2.0 * k + y1 + y1 * k * k - 2.0 * y2 * k) / d;
  s.b2 = (-k * k - y1 * k + y2) / d;
  return s;
}

}  // namespace

ChebyshevCoefficients DesignChebyshevLowPass(double cutoff) {
  std::array<double, 8> a{};
  std::array<double, 8> b{};
  a[2] = 1.0;
  b[2] = 1.0;
  for (int p = 1; p <= kPoles / 2; ++p) {
    const Section s = DesignSection(cutoff, p);
    const std::array<double, 8> ta = a;
    const std::array<double, 8> tb = b;
    for (int i = 2; i < 8; ++i) {
      a[i] = s.a0 * ta[i] + s.a1 * ta[i - 1] + s.a2 * ta[i - 2];
      b[i] = tb[i] - s.b1 * tb[i - 1] - s.b2 * tb[i - 2];
    }
  }
  b[2] = 0.0;
  for (int i = 0; i <= 4; ++i) {
    a[i] = a[i + 2];
    b[i] = -b[i + 3];
  }
  double sa = 0.0;
  double sb = 0.0;
  for (int i = 0; i <= 4; ++i) {
    sa += a[i];
    sb += b[i];
  }
  const double gain = sa / (1.0 - sb);
  ChebyshevCoefficients c;
  for (int i = 0; i <= 4; ++i) c.a[i] = a[i] / gain;
  for (int i = 0; i <= 3; ++i) c.b[i] = b[i];
  return c;
}

ChebyshevLowPass::ChebyshevLowPass(const ChebyshevCoefficients& coefficients, int channels)
    : c_(coefficients), channels_(std::clamp(channels, 1, kMaxChannels)) {}

void ChebyshevLowPass::Reset() { history_ = {}; }

namespace {

using Coefficients = ChebyshevCoefficients;

// One stage over one channel. The term of the newest output is added last, so the recursion
// waits on one multiply and one add per sample.
template <typename T, typename Load, typename Store>
[[gnu::always_inline]] inline void RunStage(const Coefficients& c, T& x1, T& x2, T& x3, T& x4,
                                            T& y1, T& y2, T& y3, T& y4, std::size_t frameCount,
                                            Load load, Store store) {
  const double a0 = c.a[0], a1 = c.a[1], a2 = c.a[2], a3 = c.a[3], a4 = c.a[4];
  const double b0 = c.b[0], b1 = c.b[1], b2 = c.b[2], b3 = c.b[3];
  for (std::size_t n = 0; n < frameCount; ++n) {
    const T x = load(n);
    const T older = a0 * x + a1 * x1 + a2 * x2 + a3 * x3 + a4 * x4 + b3 * y4 + b2 * y3 + b1 * y2;
    const T y = older + b0 * y1;
    x4 = x3;
    x3 = x2;
    x2 = x1;
    x1 = x;
    y4 = y3;
    y3 = y2;
    y2 = y1;
    y1 = y;
    store(n, y);
  }
}

typedef double Pair __attribute__((vector_size(16)));

using ChannelHistory = std::array<ChebyshevStageHistory, ChebyshevLowPass::kStages>;

[[gnu::always_inline]] inline void FilterFrames(const Coefficients& c, ChannelHistory* history,
                                                int channels, float* frames,
                                                std::size_t frameCount) {
  const std::size_t stride = static_cast<std::size_t>(channels);
  if (channels == 2) {
    // Both channels of a frame move together in one vector.
    for (int stage = 0; stage < ChebyshevLowPass::kStages; ++stage) {
      ChebyshevStageHistory& l = history[0][stage];
      ChebyshevStageHistory& r = history[1][stage];
      Pair x1 = {l.x1, r.x1}, x2 = {l.x2, r.x2}, x3 = {l.x3, r.x3}, x4 = {l.x4, r.x4};
      Pair y1 = {l.y1, r.y1}, y2 = {l.y2, r.y2}, y3 = {l.y3, r.y3}, y4 = {l.y4, r.y4};
      RunStage<Pair>(
          c, x1, x2, x3, x4, y1, y2, y3, y4, frameCount,
          [frames](std::size_t n) { return Pair{frames[2 * n], frames[2 * n + 1]}; },
          [frames](std::size_t n, Pair y) {
            frames[2 * n] = static_cast<float>(y[0]);
            frames[2 * n + 1] = static_cast<float>(y[1]);
          });
      l = {x1[0], x2[0], x3[0], x4[0], y1[0], y2[0], y3[0], y4[0]};
      r = {x1[1], x2[1], x3[1], x4[1], y1[1], y2[1], y3[1], y4[1]};
    }
    return;
  }
  for (int ch = 0; ch < channels; ++ch) {
    float* p = frames + ch;
    for (int stage = 0; stage < ChebyshevLowPass::kStages; ++stage) {
      ChebyshevStageHistory& h = history[ch][stage];
      RunStage<double>(
          c, h.x1, h.x2, h.x3, h.x4, h.y1, h.y2, h.y3, h.y4, frameCount,
          [p, stride](std::size_t n) { return static_cast<double>(p[n * stride]); },
          [p, stride](std::size_t n, double y) { p[n * stride] = static_cast<float>(y); });
    }
  }
}

// Every stage is a serial recursion, so the time goes into multiply-add latency: where the
// processor has fused multiply-add, a second copy of the filter uses it. The choice is made
// at run time by hand rather than through an ifunc, whose resolver would run before the
// sanitizers' runtimes are up.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("fma")]] void FilterFramesFma(const Coefficients& c, ChannelHistory* history,
                                            int channels, float* frames, std::size_t frameCount) {
  FilterFrames(c, history, channels, frames, frameCount);
}

bool HasFma() {
  static const bool has = __builtin_cpu_supports("fma");
  return has;
}
#endif

}  // namespace

void ChebyshevLowPass::Process(float* frames, std::size_t frameCount) {
#if defined(__x86_64__) || defined(__i386__)
  if (HasFma()) {
    FilterFramesFma(c_, history_.data(), channels_, frames, frameCount);
    return;
  }
#endif
  FilterFrames(c_, history_.data(), channels_, frames, frameCount);
}

}  // namespace trackmill
