#include "audio/wav/WavFormat.h"

#include <cstring>

#include "audio/core/LittleEndian.h"

namespace trackmill::wav {
namespace {

void PutId(char* at, const char* id) { std::memcpy(at, id, 4); }

// RIFF, WAVE and the common part of "fmt " (tag, channels, rate, byte rate, align, bits).
void PutCommon(char* h, quint32 riffSize, quint32 fmtSize, quint16 tag, int channels, quint32 rate,
               quint32 byteRate, quint16 blockAlign, quint16 bits) {
  PutId(h, "RIFF");
  PutLe32(h + 4, riffSize);
  PutId(h + 8, "WAVE");
  PutId(h + 12, "fmt ");
  PutLe32(h + 16, fmtSize);
  PutLe16(h + 20, tag);
  PutLe16(h + 22, static_cast<quint16>(channels));
  PutLe32(h + 24, rate);
  PutLe32(h + 28, byteRate);
  PutLe16(h + 32, blockAlign);
  PutLe16(h + 34, bits);
}

}  // namespace

quint32 ChannelMask(int channels) {
  switch (channels) {
    case 1: return 0x1;
    case 2: return 0x3;
    case 6: return 0x3F;
    case 8: return 0xFF;
    default: return 0;
  }
}

int ImaSamplesPerBlock(int channels, int blockBytes) {
  if (channels <= 0) return 0;
  if (channels <= 2) return (2 / channels) * (blockBytes - 4 * channels) + 1;
  return (blockBytes / channels - 4) * 2 + 1;
}

QByteArray PcmHeader(int channels, quint32 sampleRate, int bitsPerSample, quint32 dataBytes) {
  QByteArray header(kPcmHeaderBytes, '\0');
  char* h = header.data();
  const quint16 frameBytes = static_cast<quint16>(channels * bitsPerSample / 8);
  PutCommon(h, dataBytes + 36, 16, kTagPcm, channels, sampleRate, sampleRate * frameBytes, frameBytes,
            static_cast<quint16>(bitsPerSample));
  PutId(h + 36, "data");
  PutLe32(h + 40, dataBytes);
  return header;
}

QByteArray ExtensibleHeader(int channels, quint32 sampleRate, int bitsPerSample, quint32 dataBytes) {
  QByteArray header(kExtensibleHeaderBytes, '\0');
  char* h = header.data();
  const quint16 frameBytes = static_cast<quint16>(channels * bitsPerSample / 8);
  PutCommon(h, dataBytes + 60, 40, kTagExtensible, channels, sampleRate, sampleRate * frameBytes,
            frameBytes, static_cast<quint16>(bitsPerSample));
  PutLe16(h + 36, 22);
  PutLe16(h + 38, static_cast<quint16>(bitsPerSample));
  PutLe32(h + 40, ChannelMask(channels));
  std::memcpy(h + 44, kSubtypePcm, 16);
  PutId(h + 60, "data");
  PutLe32(h + 64, dataBytes);
  return header;
}

QByteArray ImaHeader(int channels, quint32 sampleRate, int blockBytes, quint32 totalFrames, quint32 dataBytes) {
  QByteArray header(kImaHeaderBytes, '\0');
  char* h = header.data();
  const int samplesPerBlock = ImaSamplesPerBlock(channels, blockBytes);
  const quint32 byteRate = samplesPerBlock > 0 ? (sampleRate / quint32(samplesPerBlock)) * quint32(blockBytes) : 0;
  PutCommon(h, dataBytes + 52, 20, kTagDviAdpcm, channels, sampleRate, byteRate,
            static_cast<quint16>(blockBytes), 4);
  PutLe16(h + 36, 2);
  PutLe16(h + 38, static_cast<quint16>(samplesPerBlock));
  PutId(h + 40, "fact");
  PutLe32(h + 44, 4);
  PutLe32(h + 48, totalFrames);
  PutId(h + 52, "data");
  PutLe32(h + 56, dataBytes);
  return header;
}

}  // namespace trackmill::wav
