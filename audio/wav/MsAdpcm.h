#pragma once
#include <QtGlobal>

#include <utility>
#include <vector>

// Microsoft ADPCM blocks: per channel a predictor index, a delta and the two newest samples,
// then one nibble per sample (high nibble first, channels taking turns).
// Pure function over caller-owned buffers; thread-safe.
namespace trackmill::msadpcm {

using TCoefficients = std::vector<std::pair<qint16, qint16>>;

// Header bytes of a block for this channel count.
constexpr int HeaderBytes(int channels) { return 7 * channels; }

// Decodes one block into at most maxFrames frames of 16-bit samples (and at most
// samplesPerBlock; fewer when the block is short). Returns the frame count, or -1 when a
// channel's predictor index is not below the coefficient count (a corrupt block).
int DecodeBlock(const char* block, int blockBytes, int channels, int samplesPerBlock,
                const TCoefficients& coefficients, qint16* out, int maxFrames);

}  // namespace trackmill::msadpcm
