#pragma once
#include <QObject>

#include <atomic>
#include <vector>

#include "audio/core/AuConverter.h"

// TAudioConverter: a converter that changes the bits per sample (8, 16, 24, 32) and the
// channel count (mono <-> stereo) of its input. OutBitsPerSample and OutChannels 0 mean
// "as the input"; with both 0 the data passes through untouched. A mono input becomes stereo
// by copying each sample to both channels (whatever Mode says); stereo becomes mono as the
// average of left and right. Other channel counts are kept. Samples go through 32-bit floats
// with the rounding rules of SampleFormat.h.
//
// Size: -1 when the input's size is unknown, else the input's size scaled by the ratio of
// output to input frame bytes, cut to whole output samples. Position counts bytes handed out.
//
// Threads: properties are set while idle; the getters may be called before a run from the
// main thread, the rest runs on the worker thread of the output that pulls the chain.
// Errors (EAuException): "Input is not assigned" when opening without an input;
// "Unsupported sample format" when a width other than 8, 16, 24 or 32 bits is involved.
namespace trackmill {

enum class TMSConverterMode { msmMonoToBoth, msmMonoToLeft, msmMonoToRight };

class TAudioConverter : public TAuConverter {
  Q_OBJECT
 public:
  explicit TAudioConverter(QObject* parent = nullptr);
  ~TAudioConverter() override;

  int GetBitsPerSample() override;
  int GetChannels() override;
  int GetSampleRate() override;

  int OutBitsPerSample() const { return outBitsPerSample_.load(); }
  void SetOutBitsPerSample(int bits) { outBitsPerSample_ = bits; }
  int OutChannels() const { return outChannels_.load(); }
  void SetOutChannels(int channels) { outChannels_ = channels; }
  TMSConverterMode Mode() const { return mode_; }
  void SetMode(TMSConverterMode mode) { mode_ = mode; }

 protected:
  void OpenInput() override;
  void CloseInput() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  std::atomic<int> outBitsPerSample_{0};
  std::atomic<int> outChannels_{0};
  TMSConverterMode mode_ = TMSConverterMode::msmMonoToBoth;

  // Fixed at opening.
  bool open_ = false;
  bool passThrough_ = false;
  int inBits_ = 0;
  int inChannels_ = 0;
  int runOutBits_ = 0;
  int runOutChannels_ = 0;
  std::vector<char> inBuffer_;
  std::vector<float> floats_;
  std::vector<char> outBuffer_;
};

}  // namespace trackmill
