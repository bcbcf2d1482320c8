#include "audio/SampleFormat.h"

#include <cmath>
#include <cstring>

namespace trackmill::samples {

namespace {

inline float Clamp(float x) {
  if (x >= 1.0f) return 1.0f;
  if (x <= -1.0f) return -1.0f;
  return x;
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
      for (std::size_t i = 0; i < count; ++i) {
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
