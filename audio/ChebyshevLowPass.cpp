#include "audio/ChebyshevLowPass.h"

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

void ChebyshevLowPass::Process(float* frames, std::size_t frameCount) {
  const double a0 = c_.a[0], a1 = c_.a[1], a2 = c_.a[2], a3 = c_.a[3], a4 = c_.a[4];
  const double b0 = c_.b[0], b1 = c_.b[1], b2 = c_.b[2], b3 = c_.b[3];
  const std::size_t stride = static_cast<std::size_t>(channels_);
  for (int ch = 0; ch < channels_; ++ch) {
    // The four stages run sample by sample with their histories in locals; the result is the
    // same as running each stage over the whole block in turn.
    ChannelHistory h = history_[ch];
    float* p = frames + ch;
    for (std::size_t n = 0; n < frameCount; ++n, p += stride) {
      double x = *p;
      for (StageHistory& s : h) {
        const double y = a0 * x + a1 * s.x1 + a2 * s.x2 + a3 * s.x3 + a4 * s.x4 + b0 * s.y1 +
                         b1 * s.y2 + b2 * s.y3 + b3 * s.y4;
        s.x4 = s.x3;
        s.x3 = s.x2;
        s.x2 = s.x1;
        s.x1 = x;
        s.y4 = s.y3;
        s.y3 = s.y2;
        s.y2 = s.y1;
        s.y1 = y;
        x = y;
      }
      *p = static_cast<float>(x);
    }
    history_[ch] = h;
  }
}

}  // namespace trackmill
