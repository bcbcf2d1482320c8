#include "cd/WavHeader.h"

#include <QtEndian>

namespace trackmill {
namespace {

void Put32(char* at, quint32 v) { qToLittleEndian(v, at); }
void Put16(char* at, quint16 v) { qToLittleEndian(v, at); }

}  // namespace

QByteArray CdWavHeader(quint32 dataBytes) {
  QByteArray h(kCdWavHeaderBytes, '\0');
  char* p = h.data();
  memcpy(p, "RIFF", 4);
  Put32(p + 4, 36 + dataBytes);
  memcpy(p + 8, "WAVEfmt ", 8);
  Put32(p + 16, 16);
  Put16(p + 20, 1);       // PCM
  Put16(p + 22, 2);       // channels
  Put32(p + 24, 44100);   // frames per second
  Put32(p + 28, 176400);  // bytes per second
  Put16(p + 32, 4);       // block align
  Put16(p + 34, 16);      // bits per sample
  memcpy(p + 36, "data", 4);
  Put32(p + 40, dataBytes);
  return h;
}

}  // namespace trackmill
