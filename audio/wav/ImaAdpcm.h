#pragma once
#include <QtGlobal>

// IMA/DVI ADPCM blocks in the WAV layout: per channel a 4-byte header (first sample, step
// index, reserved), then the nibbles of the following frames in 4-byte groups per channel
// (8 samples each, low nibble first), channels taking turns group by group.
// Pure functions over caller-owned buffers; thread-safe.
namespace trackmill::ima {

// Per-channel state of the encoder: the step index carries over from block to block.
struct TImaChannelState {
  int stepIndex = 0;
};

// Channels a block may have.
constexpr int kMaxChannels = 64;

// Frames one block of blockBytes holds for this channel count (0 when the block is too small).
int FramesPerBlock(int channels, int blockBytes);

// Decodes one block (blockBytes may be short at the end of a file: only whole groups are
// decoded). Writes at most maxFrames frames of 16-bit samples to out and returns the frame
// count; 0 when the block is too short for its headers or has over kMaxChannels channels.
int DecodeBlock(const char* block, int blockBytes, int channels, qint16* out, int maxFrames);

// Encodes FramesPerBlock(channels, blockBytes) frames of 16-bit samples from in into one block
// of exactly blockBytes bytes. state holds channels entries.
void EncodeBlock(const qint16* in, int channels, int blockBytes, TImaChannelState* state, char* block);

}  // namespace trackmill::ima
