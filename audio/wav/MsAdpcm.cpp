#include "audio/wav/MsAdpcm.h"

#include <algorithm>

#include "audio/core/LittleEndian.h"

namespace trackmill::msadpcm {
namespace {

constexpr int kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};
// Keeps delta × adaptation inside 32 bits whatever a corrupt block holds; real deltas stay far
// below this.
constexpr qint64 kMaxDelta = 0x7FFFFFFF / 768;

struct Channel {
  qint64 c1 = 0;
  qint64 c2 = 0;
  qint64 delta = 0;
  qint64 sample1 = 0;
  qint64 sample2 = 0;

  qint16 Decode(int nibble) {
    const int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
    // Rounded down (an arithmetic shift), as the encoders that write these files predict;
    // rounding toward zero drifts by one on some negative predictions.
    qint64 predicted = (sample1 * c1 + sample2 * c2) >> 8;
    predicted += signedNibble * delta;
    predicted = std::clamp<qint64>(predicted, -32768, 32767);
    delta = std::clamp<qint64>(delta * kAdaptation[nibble] / 256, 16, kMaxDelta);
    sample2 = sample1;
    sample1 = predicted;
    return static_cast<qint16>(predicted);
  }
};

}  // namespace

int DecodeBlock(const char* block, int blockBytes, int channels, int samplesPerBlock,
                const TCoefficients& coefficients, qint16* out, int maxFrames) {
  if (channels <= 0 || channels > 8 || blockBytes < HeaderBytes(channels) || maxFrames < 2 || samplesPerBlock < 2) {
    return 0;
  }
  const LeView view(block, blockBytes);
  Channel state[8];
  for (int ch = 0; ch < channels; ++ch) {
    const int predictor = view.U8(ch);
    if (predictor >= static_cast<int>(coefficients.size())) return -1;
    state[ch].c1 = coefficients[predictor].first;
    state[ch].c2 = coefficients[predictor].second;
    state[ch].delta = view.I16(channels + 2 * ch);
    state[ch].sample1 = view.I16(3 * channels + 2 * ch);
    state[ch].sample2 = view.I16(5 * channels + 2 * ch);
    out[ch] = static_cast<qint16>(state[ch].sample2);
    out[channels + ch] = static_cast<qint16>(state[ch].sample1);
  }
  const qint64 nibblesInBlock = qint64(blockBytes - HeaderBytes(channels)) * 2;
  const int frames = static_cast<int>(
      std::min<qint64>({qint64(samplesPerBlock), qint64(maxFrames), 2 + nibblesInBlock / channels}));
  const char* nibbles = block + HeaderBytes(channels);
  qint64 n = 0;
  for (int frame = 2; frame < frames; ++frame) {
    for (int ch = 0; ch < channels; ++ch, ++n) {
      const int packed = static_cast<quint8>(nibbles[n / 2]);
      const int nibble = (n % 2 == 0) ? (packed >> 4) : (packed & 0x0F);
      out[frame * channels + ch] = state[ch].Decode(nibble);
    }
  }
  return frames;
}

}  // namespace trackmill::msadpcm
