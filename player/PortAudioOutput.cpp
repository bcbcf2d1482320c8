#include "player/PortAudioOutput.h"

#include <QString>
#include <portaudio.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "audio/core/AuException.h"
#include "audio/core/AuFileIn.h"
#include "audio/core/EventHandler.h"

namespace trackmill {

namespace {
constexpr int kTriesBeforeFailure = 16;
// A sound server behind ALSA may take a second or two after the stream starts before it asks
// for data; a device counts as stuck only after this long without taking any.
constexpr auto kStuckDeviceTime = std::chrono::seconds(5);
}  // namespace

PortAudioOutput::PortAudioOutput(QObject* parent) : TAuOutput(parent) {}

PortAudioOutput::~PortAudioOutput() { ShutDown(); }

const QStringList& PortAudioOutput::Devices() const {
  // Probing the sound system is slow and chatty; windows that never play should not pay for it.
  std::call_once(devicesFound_, [this] { devices_ = SoundBuffer::Devices(); });
  return devices_;
}

void PortAudioOutput::SetFramesInBuffer(int frames) {
  if (!Busy() && frames > 0) framesInBuffer_ = frames;
}

void PortAudioOutput::SetVolume(int volume) {
  volume_ = volume;
  buffer_.SetVolume(volume);
}

void PortAudioOutput::SetOnUnderrun(EventHandler handler) { onUnderrun_ = std::move(handler); }

void PortAudioOutput::PrepareOutput() {
  released_ = false;
  if (Devices().isEmpty()) throw EAuException("No sound output device found");
  if (deviceNumber_ < 0 || deviceNumber_ >= Devices().size()) throw EAuException("Invalid device number");
  TAuInput* input = Input();
  input->Init();
  const int channels = input->GetChannels();
  const int bits = input->GetBitsPerSample();
  int rate = input->GetSampleRate();
  if (speedFactor_ != 1.0f) rate = int(std::lrint(double(rate) * double(speedFactor_)));
  rate_ = rate;
  if (latency_ != 0) {
    if (latency_ < kMinLatencyMs) latency_ = kMinLatencyMs;
    framesInBuffer_ = int(qint64(latency_) * rate / 1000);
    pollingInterval_ = latency_ / 3;
  }
  const int error = buffer_.Open(deviceNumber_, channels, rate, bits, framesInBuffer_);
  if (error == paInvalidDevice) throw EAuException("Failed to create sound device");
  if (error != 0) {
    throw EAuException(QStringLiteral("Failed to create sound buffer %1 (%2)")
                           .arg(quint32(error), 8, 16, QLatin1Char('0'))
                           .toUpper()
                           .arg(SoundBuffer::ErrorText(error)));
  }
  buffer_.SetVolume(volume_);
  staging_.assign(std::size_t(buffer_.BufferBytes()), 0);
  const int frameBytes = buffer_.FrameBytes();
  const qint64 intervalBytes = qint64(rate) * frameBytes * pollingInterval_ / 1000;
  const qint64 ahead = qint64(double(intervalBytes) * 1.25);
  prefetchBytes_ = int(ahead - ahead % frameBytes);
  firstBlockPending_ = true;
  inputEnded_ = false;
  lastUnderruns_ = 0;
}

int PortAudioOutput::ReadInput(int byteCount) {
  bool ended = false;
  std::lock_guard lock(inputLock_);
  const int got = Input()->FillBuffer(staging_.data(), byteCount, ended);
  if (ended && got == 0) inputEnded_ = true;
  return got;
}

bool PortAudioOutput::OutputBlock(bool abort) {
  if (!buffer_.IsOpen()) return false;
  if (firstBlockPending_) {
    const int got = ReadInput(buffer_.BufferBytes());
    buffer_.Write(staging_.data(), got);
    buffer_.Start();
    firstBlockPending_ = false;
  }
  if (abort) {
    buffer_.Stop();
    return false;
  }
  if (!inputEnded_) {
    int free = 0;
    const auto waitStart = std::chrono::steady_clock::now();
    for (int tries = 0; free == 0; ++tries) {
      WaitOnePollingInterval();
      free = buffer_.FreeBytes();
      if (free == 0 && tries >= kTriesBeforeFailure &&
          std::chrono::steady_clock::now() - waitStart >= kStuckDeviceTime) {
        throw EAuException("Audio output error");
      }
    }
    const int wanted = std::min(free, buffer_.BufferBytes());
    int got = 0;
    if (prefetch_) {
      std::lock_guard lock(inputLock_);
      got = Input()->CopyData(staging_.data(), wanted);
      if (got == 0) inputEnded_ = true;
    } else {
      got = ReadInput(wanted);
    }
    buffer_.Write(staging_.data(), got);
    const int underruns = buffer_.Underruns();
    if (underruns != lastUnderruns_) {
      lastUnderruns_ = underruns;
      ReportUnderrun();
    }
    if (!inputEnded_) return true;
  }
  DrainAndStop();
  return false;
}

void PortAudioOutput::DrainAndStop() {
  // Long enough for a full buffer and the device's own queue; a device that stops taking data
  // must not hold the run forever.
  const int bufferMs = int(qint64(buffer_.BufferBytes() / buffer_.FrameBytes()) * 1000 / std::max(1, rate_.load()));
  const int stuckMs = int(std::chrono::milliseconds(kStuckDeviceTime).count());
  const bool drained = buffer_.Drain(bufferMs + stuckMs, std::max(1, std::min(pollingInterval_, 100)));
  buffer_.Stop();
  if (!drained) throw EAuException("Audio output error");
}

void PortAudioOutput::WaitOnePollingInterval() {
  const auto start = std::chrono::steady_clock::now();
  if (prefetch_) {
    std::lock_guard lock(inputLock_);
    Input()->FillPrebuffer(prefetchBytes_);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const auto interval = std::chrono::milliseconds(pollingInterval_);
  if (elapsed < interval) std::this_thread::sleep_for(interval - elapsed);
}

void PortAudioOutput::ReportUnderrun() {
  if (!onUnderrun_) return;
  EventHandler handler = onUnderrun_;
  TEventHandler::Event event;
  event.kind = TEventHandler::Kind::Progress;
  event.sender = this;
  event.callback = [handler, this] { handler(this); };
  TEventHandler::Instance()->Post(std::move(event));
}

void PortAudioOutput::FinishOutput() {
  if (released_) return;
  released_ = true;
  buffer_.Close();
  staging_.clear();
  staging_.shrink_to_fit();
  std::lock_guard lock(inputLock_);
  Input()->Flush();
}

void PortAudioOutput::Pause() {
  TAuOutput::Pause();
  if (Busy() && !inputEnded_) buffer_.Pause();
}

void PortAudioOutput::Resume() {
  buffer_.Unpause();
  // Also after the input ended: a worker held by a pause taken just before must not stay held.
  TAuOutput::Resume();
}

void PortAudioOutput::Jump(int offsetPermille) {
  std::lock_guard lock(inputLock_);
  if (TAuInput* input = Input()) JumpThroughChain(input, offsetPermille);
}

}  // namespace trackmill
