#pragma once
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// SoundBuffer: a looping play buffer in front of one PortAudio output stream. The producer
// (the sound output's worker thread) writes at the write position as far as FreeBytes()
// allows; the stream's callback plays from the play position and never passes the write
// position: when it finds nothing to play it plays silence and counts one underrun, so data is
// never repeated or dropped. Stop() and Pause()/Unpause() gate the callback
// (silence while gated); Pause is the window's, Stop the producer's, so neither undoes the
// other.
//
// A device without a clock of its own (ALSA's null sink) asks for data as fast as it is
// given; the callback then holds itself to at most kMaxAheadMs ahead of the wall clock.
//
// Threads: Open(), Write(), Drain() and Close() from one producer thread;
// Pause()/Unpause() and the counters from any thread. Errors: Open() answers a PortAudio
// error code (0 = success) and leaves the buffer closed on failure.
namespace trackmill {

// PortAudio's set-up and device probing are not thread-safe; every call that starts, ends or
// probes the audio system goes through this lock.
std::mutex& AudioSystemLock();

class SoundBuffer {
 public:
  static constexpr int kMaxDevices = 16;
  static constexpr int kMaxAheadMs = 500;
  // Bounds of the latency asked of the device (see Open()).
  static constexpr int kMinDeviceLatencyMs = 100;
  static constexpr int kMaxDeviceLatencyMs = 250;

  SoundBuffer();
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // The output devices found when the audio system was set up: the default device first,
  // at most kMaxDevices names. Empty when there is no sound device at all.
  static QStringList Devices();
  static QString ErrorText(int code);

  // Opens the stream on device `index` of Devices() with a buffer of bufferFrames frames,
  // filled with silence; nothing plays until Start(). The device is asked for a latency of half
  // the buffer's length, kept within kMinDeviceLatencyMs..kMaxDeviceLatencyMs (and at least the
  // device's own high latency), so that a sound server behind ALSA keeps taking data.
  int Open(int index, int channels, int rate, int bitsPerSample, int bufferFrames);
  void Close();  // stops at once and releases the stream
  bool IsOpen() const { return stream_ != nullptr; }

  void Start();    // plays from the write position onwards
  void Stop();     // silence; the play position holds
  void Pause() { paused_ = true; }
  void Unpause() { paused_ = false; }

  // Bytes that may be written now (whole frames).
  int FreeBytes() const;
  // Writes at most FreeBytes(); answers the bytes taken.
  int Write(const char* data, int byteCount);
  // Waits (up to timeoutMs, in steps of stepMs) until everything written was handed to the
  // device, then until the device has played it (by the stream's clock), and stops the
  // stream. False when the wait for the handing over timed out.
  bool Drain(int timeoutMs, int stepMs);

  // Volume in hundredths of a decibel below full (0 = full, -10000 = silent).
  void SetVolume(int volume);

  int FrameBytes() const { return frameBytes_; }
  int BufferBytes() const { return int(ring_.size()); }
  int Underruns() const { return underruns_.load(); }
  std::int64_t FramesWritten() const { return written_.load() / frameBytes_; }
  std::int64_t FramesPlayed() const { return played_.load() / frameBytes_; }

 private:
  static int Callback(const void* input, void* output, unsigned long frames,
                      const void* timeInfo, unsigned long flags, void* self);
  int Play(char* out, unsigned long frames);
  void Pace(unsigned long frames);

  void* stream_ = nullptr;
  bool audioSystemUp_ = false;
  std::vector<char> ring_;
  int frameBytes_ = 1;
  int bitsPerSample_ = 16;
  int rate_ = 44100;
  char silenceByte_ = 0;
  std::atomic<std::int64_t> written_{0};  // bytes ever written (producer)
  std::atomic<std::int64_t> played_{0};   // bytes ever played (callback)
  std::atomic<bool> playing_{false};
  std::atomic<bool> paused_{false};
  std::atomic<bool> starved_{false};
  std::atomic<int> underruns_{0};
  std::atomic<float> gain_{1.0f};
  // Stream time at which the last frame handed to the device will have been heard (0 = none
  // or the device does not tell).
  std::atomic<double> lastFrameHeardAt_{0.0};
  // Pacing (callback only).
  std::int64_t framesRequested_ = 0;
  std::int64_t clockStartNs_ = 0;
};

}  // namespace trackmill
