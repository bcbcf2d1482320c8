#pragma once
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "audio/core/AuOutput.h"
#include "player/SoundBuffer.h"

// PortAudioOutput: the pipeline's sound-card output. Pulls PCM from its input and keeps a looping
// SoundBuffer of FramesInBuffer frames filled, refilling it every PollingInterval ms on the
// worker thread. Latency (when not 0, at least 10 ms) overrides both at start: FramesInBuffer
// = Latency x rate / 1000, PollingInterval = Latency / 3. SpeedFactor scales the rate the
// device plays at. With PrefetchData the input reads ahead 1.25 polling intervals' worth, so
// the next refill finds data ready. The run ends, and OnDone follows, only once the last frame
// has been played.
//
// Events besides TAuOutput's: OnUnderrun (main thread) after the buffer ran dry and was
// repaired; playback goes on.
// Errors (through OnThreadException, then OnDone): "No sound output device found",
// "Invalid device number", "Failed to create sound device", "Failed to create sound buffer "
// + the 8-digit code and its text, "Audio output error" when the device takes nothing for 17
// polling intervals and at least 5 s (a sound server may wait a second or two before it takes
// the first data).
// Threads: properties are set on the main thread while idle; Pause(), Resume(), Jump() and
// SetVolume() from the main thread during a run.
namespace trackmill {

class PortAudioOutput : public TAuOutput {
  Q_OBJECT
 public:
  static constexpr int kMinLatencyMs = 10;

  explicit PortAudioOutput(QObject* parent = nullptr);
  ~PortAudioOutput() override;

  // Device names, found when first asked for (here or by the first run); DeviceNumber
  // indexes them. Any thread.
  const QStringList& Devices() const;
  int DeviceNumber() const { return deviceNumber_; }
  void SetDeviceNumber(int number) { deviceNumber_ = number; }
  int Latency() const { return latency_; }
  void SetLatency(int ms) { latency_ = ms; }
  bool PrefetchData() const { return prefetch_; }
  void SetPrefetchData(bool on) { prefetch_ = on; }
  int PollingInterval() const { return pollingInterval_; }
  void SetPollingInterval(int ms) { pollingInterval_ = ms; }
  int FramesInBuffer() const { return framesInBuffer_; }
  // Ignored while busy.
  void SetFramesInBuffer(int frames);
  float SpeedFactor() const { return speedFactor_; }
  void SetSpeedFactor(float factor) { speedFactor_ = factor; }
  // Hundredths of a decibel below full (0 = full); applies at once.
  int Volume() const { return volume_; }
  void SetVolume(int volume);
  // Rate the device plays at (the input's rate x SpeedFactor), known from the start of a run.
  int PlaybackRate() const { return rate_.load(); }

  void SetOnUnderrun(EventHandler handler);

  void Pause();
  void Resume();
  // Moves playback by offsetPermille thousandths of the whole input.
  void Jump(int offsetPermille);

 protected:
  void PrepareOutput() override;
  bool OutputBlock(bool abort) override;
  void FinishOutput() override;

 private:
  void WaitOnePollingInterval();
  int ReadInput(int byteCount);
  void DrainAndStop();
  void ReportUnderrun();

  mutable std::once_flag devicesFound_;
  mutable QStringList devices_;
  int deviceNumber_ = 0;
  int latency_ = 100;
  bool prefetch_ = true;
  int pollingInterval_ = 100;
  int framesInBuffer_ = 0x6000;
  float speedFactor_ = 1.0f;
  int volume_ = 0;
  EventHandler onUnderrun_;

  SoundBuffer buffer_;
  std::vector<char> staging_;
  int prefetchBytes_ = 0;  // read ahead per polling interval, fixed at the start of a run
  std::atomic<int> rate_{0};
  bool firstBlockPending_ = false;
  std::atomic<bool> inputEnded_{false};
  // Held around each read of the input by the run and around Jump(), so a seek never moves the
  // decoders in the middle of a read.
  std::mutex inputLock_;
  bool released_ = true;
  int lastUnderruns_ = 0;
};

}  // namespace trackmill
