#pragma once
#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

#include "audio/core/AuConverter.h"

// TFastResampler: a converter that changes the sample rate of its input to OutSampleRate,
// keeping bits and channels (at most 8 channels; widths 8, 16, 24 and 32 bits). Equal rates
// (in fifths of a second) pass the data through byte for byte. Otherwise the data moves in
// blocks of one fifth of a second of input through BlockResampler; the filter is designed
// anew at every opening, so each run starts from silence.
//
// Size: the input's size scaled by the rate ratio, rounded and cut to whole frames (-1 when
// the input's size is unknown). Position counts the bytes handed out.
//
// Threads: set OutSampleRate while idle; the getters may be called from the main thread
// before a run, the rest runs on the worker thread of the output that pulls the chain.
// Errors (EAuException): "Input is not assigned" from the getters and from opening without an
// input; "The Stream is not opened" from reading before opening; "The resampler cannot
// convert this format" when opening an input it cannot handle.
namespace trackmill {

class BlockResampler;

class TFastResampler : public TAuConverter {
  Q_OBJECT
 public:
  explicit TFastResampler(QObject* parent = nullptr);
  ~TFastResampler() override;

  int GetBitsPerSample() override;
  int GetChannels() override;
  int GetSampleRate() override;

  quint32 OutSampleRate() const { return outSampleRate_.load(); }
  void SetOutSampleRate(quint32 rate) { outSampleRate_ = rate; }

 protected:
  void OpenInput() override;
  void CloseInput() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  std::atomic<quint32> outSampleRate_{22050};
  bool open_ = false;
  bool passThrough_ = false;
  std::unique_ptr<BlockResampler> engine_;
  std::vector<char> inBlock_;
  std::vector<char> outBlock_;
};

}  // namespace trackmill
