#include "cd/WavHeader.h"

namespace trackmill {

QByteArray CdWavHeader(quint32 dataBytes) { return wav::PcmHeader(2, 44100, 16, dataBytes); }

}  // namespace trackmill
