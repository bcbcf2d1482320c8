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

// Beyond the time the device gives for a frame, so that a server's rounding does not cut it off.
constexpr double kHeardMarginSeconds = 0.05;

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

// The latency asked of the device. Its "low" latency is a period of a few milliseconds: the
// sound server's ALSA plugin cannot keep such a stream fed (the callbacks stop after a second
// or two, the buffer never drains), and on a loaded machine neither can a real card. The device
// gets half the ring's length: a server that asks for its whole latency at once (as it does
// when it starts) then leaves the producer half the ring to refill in, and pauses and the end
// of a run stay prompt.
double DeviceLatencySeconds(const PaDeviceInfo* info, int bufferFrames, int rate) {
  const double ring = double(std::max(1, bufferFrames)) / double(std::max(1, rate)) / 2;
  const double floor = std::max(SoundBuffer::kMinDeviceLatencyMs / 1000.0, info ? info->defaultHighOutputLatency : 0.0);
  return std::clamp(ring, floor, std::max(floor, SoundBuffer::kMaxDeviceLatencyMs / 1000.0));
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
  lastFrameHeardAt_ = 0.0;

  PaStreamParameters parameters{};
  parameters.device = devices[std::size_t(index)];
  parameters.channelCount = channels;
  parameters.sampleFormat = SampleFormatFor(bitsPerSample);
  parameters.suggestedLatency = DeviceLatencySeconds(Pa_GetDeviceInfo(parameters.device), bufferFrames, rate);
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
  // Everything is with the device now. Stopping the stream is meant to wait until the device
  // has played it, but the sound server's ALSA plugin drops what it still holds (the last
  // device latency's worth of the run), so the stream runs on, playing silence, until the
  // stream's clock passes the time the callback was told its last frame will be heard.
  if (stream_) {
    const double heardAt = lastFrameHeardAt_.load();
    while (heardAt > 0 && Pa_GetStreamTime(stream_) < heardAt + kHeardMarginSeconds &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, stepMs)));
    }
    Pa_StopStream(stream_);
  }
  playing_ = false;
  return true;
}

void SoundBuffer::SetVolume(int volume) {
  gain_ = float(std::pow(10.0, std::clamp(volume, -10000, 0) / 2000.0));
}

int SoundBuffer::Callback(const void*, void* output, unsigned long frames, const void* timeInfo,
                          unsigned long, void* self) {
  auto* buffer = static_cast<SoundBuffer*>(self);
  buffer->Pace(frames);
  const std::int64_t playedBefore = buffer->played_.load(std::memory_order_relaxed);
  const int result = buffer->Play(static_cast<char*>(output), frames);
  const auto* times = static_cast<const PaStreamCallbackTimeInfo*>(timeInfo);
  const std::int64_t taken = buffer->played_.load(std::memory_order_relaxed) - playedBefore;
  if (taken > 0 && times != nullptr && times->outputBufferDacTime > 0) {
    buffer->lastFrameHeardAt_ = times->outputBufferDacTime + double(taken / buffer->frameBytes_) / buffer->rate_;
  }
  return result;
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
