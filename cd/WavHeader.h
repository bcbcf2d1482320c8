#pragma once
#include <QByteArray>

// The 44-byte header of a CD-audio WAV file (PCM, 2 channels, 44100 Hz, 16 bits).
namespace trackmill {

inline constexpr int kCdWavHeaderBytes = 44;

QByteArray CdWavHeader(quint32 dataBytes);

}  // namespace trackmill
