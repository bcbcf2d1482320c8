#pragma once
#include <QByteArray>

#include "audio/wav/WavFormat.h"

// The 44-byte header of a CD-audio WAV file (PCM, 2 channels, 44100 Hz, 16 bits): the one
// PCM header layout of the WAV writers, with the disc's format filled in.
namespace trackmill {

inline constexpr int kCdWavHeaderBytes = wav::kPcmHeaderBytes;

QByteArray CdWavHeader(quint32 dataBytes);

}  // namespace trackmill
