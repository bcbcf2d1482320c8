#include "audio/wav/ImaAdpcm.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "audio/core/LittleEndian.h"

namespace trackmill::ima {
namespace {

constexpr int kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexAdjust[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// What each nibble does at each step index, worked out once: the signed difference it adds
// to the sample and the step index that follows. The decoder's chains then wait on loads and
// one add instead of the bit tests and clamps.
struct NibbleTables {
  std::array<int, 89 * 16> delta{};
  std::array<quint8, 89 * 16> nextIndex{};
};

constexpr NibbleTables MakeNibbleTables() {
  NibbleTables tables;
  for (int index = 0; index < 89; ++index) {
    const int step = kStepTable[index];
    for (int nibble = 0; nibble < 16; ++nibble) {
      int delta = step >> 3;
      if (nibble & 4) delta += step;
      if (nibble & 2) delta += step >> 1;
      if (nibble & 1) delta += step >> 2;
      const auto at = static_cast<std::size_t>(index * 16 + nibble);
      tables.delta[at] = (nibble & 8) ? -delta : delta;
      tables.nextIndex[at] = static_cast<quint8>(std::clamp(index + kIndexAdjust[nibble], 0, 88));
    }
  }
  return tables;
}
constexpr NibbleTables kNibble = MakeNibbleTables();

struct Predictor {
  int sample;
  int index;  // 0..88

  int Decode(int nibble) {
    const auto at = static_cast<std::size_t>(index * 16 + nibble);
    sample = std::clamp(sample + kNibble.delta[at], -32767, 32767);
    index = kNibble.nextIndex[at];
    return sample;
  }

  int Encode(int input) {
    const int step = kStepTable[index];
    int diff = input - sample;
    int nibble = 0;
    if (diff < 0) {
      nibble = 8;
      diff = -diff;
    }
    if (diff >= step) {
      nibble |= 4;
      diff -= step;
    }
    if (diff >= step / 2) {
      nibble |= 2;
      diff -= step / 2;
    }
    if (diff >= step / 4) nibble |= 1;
    Decode(nibble);
    return nibble;
  }
};

}  // namespace

int FramesPerBlock(int channels, int blockBytes) {
  if (channels <= 0 || blockBytes < 4 * channels) return 0;
  const int groups = (blockBytes - 4 * channels) / (4 * channels);
  return 1 + groups * 8;
}

int DecodeBlock(const char* block, int blockBytes, int channels, qint16* out, int maxFrames) {
  if (channels > kMaxChannels) return 0;
  const int frames = std::min(FramesPerBlock(channels, blockBytes), maxFrames);
  if (frames <= 0) return 0;
  const LeView view(block, blockBytes);
  std::array<Predictor, kMaxChannels> predictors;
  for (int ch = 0; ch < channels; ++ch) {
    predictors[ch] = {view.I16(4 * ch), std::min<int>(view.U8(4 * ch + 2), 88)};
    out[ch] = static_cast<qint16>(predictors[ch].sample);
  }
  // Group g of channel ch starts at header + (g * channels + ch) * 4 and codes frames
  // 1 + 8g .. 8 + 8g, low nibble first. Going group by group, all channels in turn, gives the
  // processor one independent sample chain per channel to overlap.
  const auto* groups = reinterpret_cast<const quint8*>(block) + 4 * channels;
  for (int first = 1; first < frames; first += 8) {
    const int count = std::min(8, frames - first);
    for (int ch = 0; ch < channels; ++ch) {
      Predictor p = predictors[ch];
      const quint8* group = groups + 4 * ch;
      qint16* target = out + first * channels + ch;
      quint32 nibbles = quint32(group[0]) | quint32(group[1]) << 8 | quint32(group[2]) << 16 |
                        quint32(group[3]) << 24;
      for (int i = 0; i < count; ++i) {
        *target = static_cast<qint16>(p.Decode(static_cast<int>(nibbles & 0x0F)));
        nibbles >>= 4;
        target += channels;
      }
      predictors[ch] = p;
    }
    groups += 4 * channels;
  }
  return frames;
}

void EncodeBlock(const qint16* in, int channels, int blockBytes, TImaChannelState* state, char* block) {
  std::memset(block, 0, static_cast<size_t>(blockBytes));
  const int frames = FramesPerBlock(channels, blockBytes);
  if (frames <= 0) return;
  for (int ch = 0; ch < channels; ++ch) {
    Predictor p{in[ch], std::clamp(state[ch].stepIndex, 0, 88)};
    PutLe16(block + 4 * ch, static_cast<quint16>(in[ch]));
    block[4 * ch + 2] = static_cast<char>(p.index);
    for (int frame = 1; frame < frames; ++frame) {
      const int k = frame - 1;
      const int byte = 4 * channels + ((k / 8) * channels + ch) * 4 + (k % 8) / 2;
      const int nibble = p.Encode(in[frame * channels + ch]);
      block[byte] = static_cast<char>(static_cast<quint8>(block[byte]) | ((k % 2 == 0) ? nibble : nibble << 4));
    }
    state[ch].stepIndex = p.index;
  }
}

}  // namespace trackmill::ima
