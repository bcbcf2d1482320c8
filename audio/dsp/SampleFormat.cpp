#include "audio/dsp/SampleFormat.h"

#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace trackmill::samples {

namespace {

// NaN becomes silence: converting it to an integer would be undefined.
inline float Clamp(float x) {
  if (std::isnan(x)) return 0.0f;
  if (x >= 1.0f) return 1.0f;
  if (x <= -1.0f) return -1.0f;
  return x;
}

// Eight samples at a time, with the same result as ToPcm16 for every float: the clamp, the
// single-precision product and the conversion rounding to nearest-even (the default mode
// that lrintf follows too). Returns how many samples it wrote; the caller does the rest.
std::size_t FromFloats16Vector(const float* in, std::size_t count, std::uint8_t* bytes) {
#ifdef __SSE2__
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 minusOne = _mm_set1_ps(-1.0f);
  const __m128 scale = _mm_set1_ps(32767.0f);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128 a = _mm_loadu_ps(in + i);
    __m128 b = _mm_loadu_ps(in + i + 4);
    a = _mm_and_ps(a, _mm_cmpord_ps(a, a));  // NaN -> 0, as in Clamp
    b = _mm_and_ps(b, _mm_cmpord_ps(b, b));
    a = _mm_mul_ps(_mm_min_ps(_mm_max_ps(a, minusOne), one), scale);
    b = _mm_mul_ps(_mm_min_ps(_mm_max_ps(b, minusOne), one), scale);
    const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + 2 * i), packed);
  }
  return i;
#else
  (void)in;
  (void)count;
  (void)bytes;
  return 0;
#endif
}

}  // namespace

bool IsSupportedWidth(int bitsPerSample) {
  return bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
}

float FromPcm8(std::uint8_t v) { return static_cast<float>(v) * 0.0078125f - 1.0f; }

float FromPcm16(std::int16_t v) { return static_cast<float>(v) * (1.0f / 32768.0f); }

float FromPcm24(const std::uint8_t* b) {
  const std::int16_t upper = static_cast<std::int16_t>(b[1] | (b[2] << 8));
  return static_cast<float>(upper * 256 + b[0]) * (1.0f / 8388608.0f);
}

float FromPcm32(std::int32_t v) { return static_cast<float>(v) * (1.0f / 2147483648.0f); }

std::uint8_t ToPcm8(float x) {
  if (std::isnan(x)) return 128;
  if (x >= 1.0f) return 255;
  if (x > -1.0f) return static_cast<std::uint8_t>(std::floor((x + 1.0f) * 128.0f));
  return 0;
}

std::int16_t ToPcm16(float x) {
  // Single precision on purpose: the product is rounded to float before rounding to integer.
  const float scaled = Clamp(x) * 32767.0f;
  return static_cast<std::int16_t>(std::lrintf(scaled));
}

std::int32_t ToPcm24(float x) {
  return static_cast<std::int32_t>(std::floor(static_cast<double>(Clamp(x)) * 8388607.0));
}

std::int32_t ToPcm32(float x) {
  return static_cast<std::int32_t>(std::lrint(static_cast<double>(Clamp(x)) * 2147483647.0));
}

void ToFloats(const std::uint8_t* bytes, int bitsPerSample, std::size_t count, float* out) {
  switch (bitsPerSample) {
    case 8:
      for (std::size_t i = 0; i < count; ++i) out[i] = FromPcm8(bytes[i]);
      break;
    case 16:
      for (std::size_t i = 0; i < count; ++i) {
        const std::int16_t v = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        out[i] = FromPcm16(v);
      }
      break;
    case 24:
      for (std::size_t i = 0; i < count; ++i) out[i] = FromPcm24(bytes + 3 * i);
      break;
    case 32:
      for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t u;
        std::memcpy(&u, bytes + 4 * i, 4);
        out[i] = FromPcm32(static_cast<std::int32_t>(u));
      }
      break;
    default:
      break;
  }
}

void FromFloats(const float* in, std::size_t count, int bitsPerSample, std::uint8_t* bytes) {
  switch (bitsPerSample) {
    case 8:
      for (std::size_t i = 0; i < count; ++i) bytes[i] = ToPcm8(in[i]);
      break;
    case 16:
      for (std::size_t i = FromFloats16Vector(in, count, bytes); i < count; ++i) {
        const std::uint16_t v = static_cast<std::uint16_t>(ToPcm16(in[i]));
        bytes[2 * i] = static_cast<std::uint8_t>(v);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
      }
      break;
    case 24:
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(ToPcm24(in[i]));
        bytes[3 * i] = static_cast<std::uint8_t>(v);
        bytes[3 * i + 1] = static_cast<std::uint8_t>(v >> 8);
        bytes[3 * i + 2] = static_cast<std::uint8_t>(v >> 16);
      }
      break;
    case 32:
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(ToPcm32(in[i]));
        std::memcpy(bytes + 4 * i, &v, 4);
      }
      break;
    default:
      break;
  }
}

}  // namespace trackmill::samples
