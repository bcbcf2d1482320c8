#pragma once
#include <cstddef>
#include <cstdint>

// The left/right balance of stereo PCM and the mono-to-stereo duplication used before it.
// Balance runs from 0.0 (only the left channel plays) through 0.5 (both channels untouched)
// to 1.0 (only the right channel plays). Above 0.5 the left channel is scaled by
// 2 x (1 - balance), below 0.5 the right channel by 2 x balance; scaled samples are rounded to
// nearest, halves to even. The same law holds for every width: 8-bit samples are scaled
// around their silence value 128, 16-, 24- and 32-bit samples as signed values.
// Pure functions, thread-safe.
namespace trackmill {

// Applies the balance in place to frameCount interleaved stereo frames of the given width
// (8, 16, 24 or 32 bits; other widths are left alone).
void ApplyStereoBalance(std::uint8_t* frames, std::size_t frameCount, int bitsPerSample,
                        float balance);

// Writes every mono sample of `in` twice (left, right) into `out`, which holds
// 2 x sampleCount x bytes per sample. Widths 8, 16, 24 and 32 bits.
void DuplicateMonoToStereo(const std::uint8_t* in, std::size_t sampleCount, int bitsPerSample,
                           std::uint8_t* out);

}  // namespace trackmill
