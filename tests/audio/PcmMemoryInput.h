#pragma once
#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "audio/core/AuInput.h"

// An input that delivers PCM held in memory, in pieces of at most `pieceBytes` (so tests can
// make a reader hand out blocks that end inside a frame). Size is the byte count, or -1 when
// constructed with unknownSize.
namespace trackmill::test {

class PcmMemoryInput : public TAuInput {
 public:
  PcmMemoryInput(QByteArray pcm, int bits, int channels, int rate, int pieceBytes = 1 << 30,
                 bool unknownSize = false)
      : pcm_(std::move(pcm)), bits_(bits), channels_(channels), rate_(rate), piece_(pieceBytes),
        unknownSize_(unknownSize) {}

  int GetBitsPerSample() override { return bits_; }
  int GetChannels() override { return channels_; }
  int GetSampleRate() override { return rate_; }

 protected:
  void OpenInput() override {
    offset_ = 0;
    position_ = 0;
    size_ = unknownSize_ ? -1 : pcm_.size();
  }
  void CloseInput() override {}
  void ReadBlock(const char*& data, int& byteCount) override {
    byteCount = std::max(0, std::min({byteCount, piece_, int(pcm_.size() - offset_)}));
    data = pcm_.constData() + offset_;
    offset_ += byteCount;
    position_ += byteCount;
  }

 private:
  QByteArray pcm_;
  int bits_, channels_, rate_, piece_;
  bool unknownSize_;
  qsizetype offset_ = 0;
};

// Pulls everything from an input (Init, GetData until empty, Flush).
inline QByteArray DrainInput(TAuInput& input, int requestBytes = 16384) {
  QByteArray all;
  input.Init();
  for (;;) {
    const char* data = nullptr;
    int count = requestBytes;
    input.GetData(data, count);
    if (count <= 0) break;
    all.append(data, count);
  }
  input.Flush();
  return all;
}

inline QByteArray Pcm16(const std::vector<std::int16_t>& samples) {
  return QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
}

inline std::vector<std::int16_t> Samples16(const QByteArray& bytes) {
  std::vector<std::int16_t> out(std::size_t(bytes.size() / 2));
  std::copy_n(reinterpret_cast<const char*>(bytes.constData()), out.size() * 2,
              reinterpret_cast<char*>(out.data()));
  return out;
}

}  // namespace trackmill::test
