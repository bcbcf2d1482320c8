#pragma once
#include <QByteArray>
#include <QtGlobal>

// The WAV (RIFF/WAVE) layouts shared by the reader (TWaveIn) and the writer (TWaveOut).
namespace trackmill {

enum class TWavType {
  wtUnsupported = 0,
  wtPCM = 1,
  wtDVIADPCM = 2,
  wtMSADPCM = 3,
  wtACM = 4,
  wtIEEEFloat = 5,
  wtExtPCM = 6,
  wtExtIEEEFloat = 7,
};

namespace wav {

constexpr quint16 kTagPcm = 0x0001;
constexpr quint16 kTagMsAdpcm = 0x0002;
constexpr quint16 kTagIeeeFloat = 0x0003;
constexpr quint16 kTagDviAdpcm = 0x0011;
constexpr quint16 kTagMpegLayer3 = 0x0055;
constexpr quint16 kTagExtensible = 0xFFFE;

// KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT in file byte order.
constexpr char kSubtypePcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                  char(0x80), 0x00, 0x00, char(0xAA), 0x00, 0x38, char(0x9B), 0x71};
constexpr char kSubtypeFloat[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                    char(0x80), 0x00, 0x00, char(0xAA), 0x00, 0x38, char(0x9B), 0x71};

constexpr int kPcmHeaderBytes = 44;
constexpr int kPcmDataSizeOffset = 40;
constexpr int kExtensibleHeaderBytes = 68;
constexpr int kExtensibleDataSizeOffset = 64;
constexpr int kImaHeaderBytes = 60;
constexpr int kImaFactOffset = 48;
constexpr int kImaDataSizeOffset = 56;
constexpr int kRiffSizeOffset = 4;

// Largest header area the reader scans before the audio data, and the append scan's limit.
constexpr qint64 kReaderHeaderLimit = 65535;
constexpr qint64 kAppendHeaderLimit = 8192;
// The reader's decode buffer; PCM and float are read in pieces of at most this size.
constexpr int kBufferBytes = 16384;
constexpr int kMaxMsCoefficients = 32;

// Speaker mask of the extensible header: 0x1, 0x3, 0x3F, 0xFF for 1, 2, 6 and 8 channels;
// 0 (layout not given) for any other count.
quint32 ChannelMask(int channels);
// IMA ADPCM frames per block of blockBytes bytes.
int ImaSamplesPerBlock(int channels, int blockBytes);

QByteArray PcmHeader(int channels, quint32 sampleRate, int bitsPerSample, quint32 dataBytes);
QByteArray ExtensibleHeader(int channels, quint32 sampleRate, int bitsPerSample, quint32 dataBytes);
QByteArray ImaHeader(int channels, quint32 sampleRate, int blockBytes, quint32 totalFrames, quint32 dataBytes);

}  // namespace wav
}  // namespace trackmill
