#include "player/SoundBuffer.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

namespace trackmill {

std::mutex& AudioSystemLock() {
  static std::mutex lock;
  return lock;
}

namespace {

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Devices of the running audio system, in Devices() order (default first).
std::vector<PaDeviceIndex> OutputDevices() {
  std::vector<PaDeviceIndex> devices;
  const PaDeviceIndex fallback = Pa_GetDefaultOutputDevice();
  if (fallback != paNoDevice) devices.push_back(fallback);
  const PaDeviceIndex count = Pa_GetDeviceCount();
  for (PaDeviceIndex i = 0; i < count && int(devices.size()) < SoundBuffer::kMaxDevices; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info && info->maxOutputChannels > 0) devices.push_back(i);
  }
  return devices;
}

PaSampleFormat SampleFormatFor(int bits) {
  switch (bits) {
    case 8: return paUInt8;
    case 24: return paInt24;
    case 32: return paInt32;
    default: return paInt16;
  }
}

}  // namespace

SoundBuffer::SoundBuffer() = default;

SoundBuffer::~SoundBuffer() { Close(); }

QStringList SoundBuffer::Devices() {
  std::lock_guard lock(AudioSystemLock());
  QStringList names;
  if (Pa_Initialize() != paNoError) return names;
  const std::vector<PaDeviceIndex> devices = OutputDevices();
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices[i]);
    names << (i == 0 ? QStringLiteral("Default output device")
                     : QString::fromUtf8(info ? info->name : "?").left(127));
  }
  Pa_Terminate();
  return names;
}

QString SoundBuffer::ErrorText(int code) { return QString::fromUtf8(Pa_GetErrorText(code)); }

int SoundBuffer::Open(int index, int channels, int rate, int bitsPerSample, int bufferFrames) {
  Close();
  std::lock_guard lock(AudioSystemLock());
  PaError error = Pa_Initialize();
  if (error != paNoError) return error;
  audioSystemUp_ = true;
  const std::vector<PaDeviceIndex> devices = OutputDevices();
  if (index < 0 || index >= int(devices.size())) {
    Pa_Terminate();
    audioSystemUp_ = false;
    return paInvalidDevice;
  }
  frameBytes_ = std::max(1, channels * bitsPerSample / 8);
  bitsPerSample_ = bitsPerSample;
  rate_ = rate;
  silenceByte_ = bitsPerSample == 8 ? char(128) : char(0);
  ring_.assign(std::size_t(std::max(1, bufferFrames)) * std::size_t(frameBytes_), silenceByte_);
  written_ = 0;
  played_ = 0;
  underruns_ = 0;
  playing_ = false;
  paused_ = false;
  starved_ = false;
  framesRequested_ = 0;

  PaStreamParameters parameters{};
  parameters.device = devices[std::size_t(index)];
  parameters.channelCount = channels;
  parameters.sampleFormat = SampleFormatFor(bitsPerSample);
  const PaDeviceInfo* info = Pa_GetDeviceInfo(parameters.device);
  parameters.suggestedLatency = info ? info->defaultLowOutputLatency : 0.05;
  PaStream* stream = nullptr;
  error = Pa_OpenStream(&stream, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                        paNoFlag, reinterpret_cast<PaStreamCallback*>(&SoundBuffer::Callback),
                        this);
  if (error == paNoError) {
    clockStartNs_ = NowNs();
    error = Pa_StartStream(stream);
    if (error != paNoError) Pa_CloseStream(stream);
  }
  if (error != paNoError) {
    Pa_Terminate();
    audioSystemUp_ = false;
    return error;
  }
  stream_ = stream;
  return paNoError;
}

void SoundBuffer::Close() {
  std::lock_guard lock(AudioSystemLock());
  if (stream_) {
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
  }
  if (audioSystemUp_) Pa_Terminate();
  audioSystemUp_ = false;
  playing_ = false;
}

void SoundBuffer::Start() {
  starved_ = false;
  playing_ = true;
}

void SoundBuffer::Stop() { playing_ = false; }

int SoundBuffer::FreeBytes() const {
  const std::int64_t queued = written_.load(std::memory_order_acquire) -
                              played_.load(std::memory_order_acquire);
  const std::int64_t free = std::int64_t(ring_.size()) - queued;
  return int(free - free % frameBytes_);
}

int SoundBuffer::Write(const char* data, int byteCount) {
  const int count = std::min(byteCount, FreeBytes());
  if (count <= 0) return 0;
  const std::int64_t start = written_.load(std::memory_order_relaxed);
  const std::size_t size = ring_.size();
  const std::size_t at = std::size_t(start % std::int64_t(size));
  const std::size_t first = std::min(std::size_t(count), size - at);
  std::memcpy(ring_.data() + at, data, first);
  std::memcpy(ring_.data(), data + first, std::size_t(count) - first);
  written_.store(start + count, std::memory_order_release);
  return count;
}

bool SoundBuffer::Drain(int timeoutMs, int stepMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (played_.load() + frameBytes_ <= written_.load()) {
    if (!stream_ || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, stepMs)));
  }
  // Everything is with the device now; stopping the stream waits until it has played it.
  if (stream_) Pa_StopStream(stream_);
  playing_ = false;
  return true;
}

void SoundBuffer::SetVolume(int volume) {
  gain_ = float(std::pow(10.0, std::clamp(volume, -10000, 0) / 2000.0));
}

int SoundBuffer::Callback(const void*, void* output, unsigned long frames, const void*,
                          unsigned long, void* self) {
  auto* buffer = static_cast<SoundBuffer*>(self);
  buffer->Pace(frames);
  return buffer->Play(static_cast<char*>(output), frames);
}

int SoundBuffer::Play(char* out, unsigned long frames) {
  const std::size_t wanted = std::size_t(frames) * std::size_t(frameBytes_);
  std::size_t taken = 0;
  if (playing_.load() && !paused_.load()) {
    const std::int64_t start = played_.load(std::memory_order_relaxed);
    const std::int64_t queued = written_.load(std::memory_order_acquire) - start;
    taken = std::size_t(std::clamp<std::int64_t>(queued - queued % frameBytes_, 0,
                                                 std::int64_t(wanted)));
    const std::size_t size = ring_.size();
    const std::size_t at = std::size_t(start % std::int64_t(size));
    const std::size_t first = std::min(taken, size - at);
    std::memcpy(out, ring_.data() + at, first);
    std::memcpy(out + first, ring_.data(), taken - first);
    played_.store(start + std::int64_t(taken), std::memory_order_release);
    // One underrun per stretch of starvation.
    const bool starved = taken < wanted;
    if (starved && !starved_.exchange(true)) ++underruns_;
    if (!starved) starved_ = false;
    const float gain = gain_.load();
    if (gain < 1.0f && bitsPerSample_ == 16) {
      auto* samples = reinterpret_cast<std::int16_t*>(out);
      for (std::size_t i = 0; i < taken / 2; ++i) samples[i] = std::int16_t(std::lrint(samples[i] * gain));
    }
  }
  std::memset(out + taken, silenceByte_, wanted - taken);
  return paContinue;
}

void SoundBuffer::Pace(unsigned long frames) {
  framesRequested_ += std::int64_t(frames);
  const std::int64_t dueNs = framesRequested_ * 1000000000LL / rate_;
  const std::int64_t aheadNs = dueNs - (NowNs() - clockStartNs_) - kMaxAheadMs * 1000000LL;
  if (aheadNs > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(std::min<std::int64_t>(aheadNs, 50000000)));
}

}  // namespace trackmill
