#include "audio/dsp/BalanceLaw.h"

#include <cmath>
#include <cstring>

namespace trackmill {

namespace {

void Scale8(std::uint8_t* s, double gain) {
  const double v = std::nearbyint((static_cast<int>(*s) - 128) * gain) + 128.0;
  *s = static_cast<std::uint8_t>(v);
}

void Scale16(std::uint8_t* s, double gain) {
  const std::int16_t v = static_cast<std::int16_t>(s[0] | (s[1] << 8));
  const std::uint16_t r = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::nearbyint(v * gain)));
  s[0] = static_cast<std::uint8_t>(r);
  s[1] = static_cast<std::uint8_t>(r >> 8);
}

void Scale24(std::uint8_t* s, double gain) {
  std::int32_t v = s[0] | (s[1] << 8) | (s[2] << 16);
  if (v & 0x800000) v -= 0x1000000;
  const std::uint32_t r = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::nearbyint(v * gain)));
  s[0] = static_cast<std::uint8_t>(r);
  s[1] = static_cast<std::uint8_t>(r >> 8);
  s[2] = static_cast<std::uint8_t>(r >> 16);
}

void Scale32(std::uint8_t* s, double gain) {
  std::int32_t v;
  std::memcpy(&v, s, 4);
  const std::int32_t r = static_cast<std::int32_t>(std::nearbyint(v * gain));
  std::memcpy(s, &r, 4);
}

}  // namespace

void ApplyStereoBalance(std::uint8_t* frames, std::size_t frameCount, int bitsPerSample,
                        float balance) {
  if (balance == 0.5f) return;
  void (*scale)(std::uint8_t*, double) = nullptr;
  switch (bitsPerSample) {
    case 8: scale = Scale8; break;
    case 16: scale = Scale16; break;
    case 24: scale = Scale24; break;
    case 32: scale = Scale32; break;
    default: return;
  }
  const std::size_t sampleBytes = static_cast<std::size_t>(bitsPerSample / 8);
  const bool scaleLeft = balance > 0.5f;
  const double gain = scaleLeft ? 2.0 * (1.0 - balance) : 2.0 * balance;
  std::uint8_t* s = frames + (scaleLeft ? 0 : sampleBytes);
  for (std::size_t i = 0; i < frameCount; ++i, s += 2 * sampleBytes) scale(s, gain);
}

void DuplicateMonoToStereo(const std::uint8_t* in, std::size_t sampleCount, int bitsPerSample,
                           std::uint8_t* out) {
  const std::size_t n = static_cast<std::size_t>(bitsPerSample / 8);
  for (std::size_t i = 0; i < sampleCount; ++i) {
    std::memcpy(out + 2 * i * n, in + i * n, n);
    std::memcpy(out + (2 * i + 1) * n, in + i * n, n);
  }
}

}  // namespace trackmill
