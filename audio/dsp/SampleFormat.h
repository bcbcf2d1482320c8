#pragma once
#include <cstddef>
#include <cstdint>

// Conversion of interleaved little-endian PCM samples to and from 32-bit floats in -1.0..1.0.
// 8-bit samples are unsigned, 16-, 24- and 32-bit samples signed. The rounding rules are
// fixed: converters and the resampler must give the same bytes for the same input.
//   8-bit : to float v * 0.0078125 - 1; back: >= 1 -> 255, > -1 -> floor((x + 1) * 128), else 0
//   16-bit: to float v / 32768;         back: clamp, nearest-even of x * 32767 (single precision)
//   24-bit: to float v / 8388608;       back: clamp, floor(x * 8388607)
//   32-bit: to float v / 2147483648;    back: clamp, nearest-even of x * 2147483647 (double)
// A NaN goes back as silence at every width.
// Pure functions, thread-safe.
namespace trackmill::samples {

// True for the widths these functions handle: 8, 16, 24 and 32 bits.
bool IsSupportedWidth(int bitsPerSample);

// Reads count samples of the given width from bytes into out. Widths other than the four
// supported ones leave out untouched.
void ToFloats(const std::uint8_t* bytes, int bitsPerSample, std::size_t count, float* out);

// Writes count floats as samples of the given width into bytes (count * bits / 8 bytes).
void FromFloats(const float* in, std::size_t count, int bitsPerSample, std::uint8_t* bytes);

// Single-sample forms of the rules above, for callers that work sample by sample.
float FromPcm8(std::uint8_t v);
float FromPcm16(std::int16_t v);
float FromPcm24(const std::uint8_t* threeBytes);
float FromPcm32(std::int32_t v);
std::uint8_t ToPcm8(float x);
std::int16_t ToPcm16(float x);
std::int32_t ToPcm24(float x);  // the 24-bit value, sign-extended
std::int32_t ToPcm32(float x);

}  // namespace trackmill::samples
