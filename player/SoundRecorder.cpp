#include "player/SoundRecorder.h"

#include <portaudio.h>

#include <QtEndian>
#include <chrono>
#include <vector>

#include "audio/wav/WavScan.h"
#include "player/SoundBuffer.h"

namespace trackmill {

namespace {
constexpr int kReadsPerSecond = 10;
constexpr qint64 kMaxWavBytes = 0xFFFFFFFFLL;
// An input without a clock of its own (ALSA's null device) delivers as fast as it is read;
// recording then holds itself to this far ahead of the wall clock.
constexpr qint64 kMaxAheadMs = 500;
}  // namespace

TSoundRecorder::TSoundRecorder(QObject* parent) : QObject(parent) {}

TSoundRecorder::~TSoundRecorder() { Stop(); }

QString TSoundRecorder::Error() const {
  std::lock_guard lock(errorLock_);
  return error_;
}

void TSoundRecorder::Fail(const QString& message) {
  std::lock_guard lock(errorLock_);
  if (error_.isEmpty()) error_ = message;
}

QString TSoundRecorder::Start(const QString& path, qint64 startMs, qint64 frameLimit) {
  Stop();
  error_.clear();
  frames_ = 0;
  frameLimit_ = frameLimit;
  file_.setFileName(path);
  if (!file_.open(QIODevice::ReadWrite)) return QStringLiteral("Cannot open %1").arg(path);
  const TWavScan scan = ScanWavHeader(file_, TWavScanMode::Append);
  if (scan.type != TWavType::wtPCM || (scan.bitsPerSample != 8 && scan.bitsPerSample != 16) ||
      scan.channels < 1 || scan.channels > 2 || scan.sampleRate == 0) {
    file_.close();
    return QStringLiteral("%1 is not a PCM WAV file of 8 or 16 bits, mono or stereo").arg(path);
  }
  rate_ = int(scan.sampleRate);
  frameBytes_ = scan.channels * scan.bitsPerSample / 8;
  dataOffset_ = scan.dataOffset;
  dataSizeOffset_ = scan.dataSizeOffset;
  const qint64 held = std::min<qint64>(scan.dataBytes, file_.size() - dataOffset_) / frameBytes_;
  const qint64 startFrame = std::clamp<qint64>(startMs * rate_ / 1000, 0, held);
  if (!file_.resize(dataOffset_ + startFrame * frameBytes_) || !WriteAndPatch(nullptr, 0)) {
    file_.close();
    return QStringLiteral("Cannot write %1").arg(path);
  }

  std::lock_guard lock(AudioSystemLock());
  PaError error = Pa_Initialize();
  if (error == paNoError) {
    PaStreamParameters input{};
    input.device = Pa_GetDefaultInputDevice();
    if (input.device == paNoDevice) {
      Pa_Terminate();
      file_.close();
      return QStringLiteral("No sound input device found");
    }
    input.channelCount = scan.channels;
    input.sampleFormat = scan.bitsPerSample == 8 ? paUInt8 : paInt16;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(input.device);
    input.suggestedLatency = info ? info->defaultHighInputLatency : 0.2;
    const int framesPerRead = std::max(1, rate_ / kReadsPerSecond);
    error = Pa_OpenStream(&stream_, &input, nullptr, rate_, unsigned(framesPerRead), paClipOff, nullptr, nullptr);
    if (error == paNoError) error = Pa_StartStream(stream_);
    if (error == paNoError) {
      stopRequested_ = false;
      ended_ = false;
      worker_ = std::thread([this, framesPerRead] { Record(stream_, framesPerRead); });
      return {};
    }
    if (stream_) Pa_CloseStream(stream_);
    stream_ = nullptr;
    Pa_Terminate();
  }
  file_.close();
  return QStringLiteral("Cannot record from the sound input: %1").arg(QString::fromUtf8(Pa_GetErrorText(error)));
}

void TSoundRecorder::Record(void* stream, int framesPerRead) {
  std::vector<char> buffer(size_t(framesPerRead) * size_t(frameBytes_));
  const auto start = std::chrono::steady_clock::now();
  while (!stopRequested_) {
    const qint64 elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start).count();
    if (frames_ * 1000 / rate_ - elapsedMs > kMaxAheadMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    long frames = framesPerRead;
    if (frameLimit_ >= 0) frames = long(std::min<qint64>(frames, frameLimit_ - frames_));
    if (frames <= 0) break;
    const PaError error = Pa_ReadStream(stream, buffer.data(), static_cast<unsigned long>(frames));
    // An overflow lost input before this read; what was read is still good.
    if (error != paNoError && error != paInputOverflowed) {
      Fail(QStringLiteral("Recording failed: %1").arg(QString::fromUtf8(Pa_GetErrorText(error))));
      break;
    }
    if (!WriteAndPatch(buffer.data(), qint64(frames) * frameBytes_)) {
      Fail(QStringLiteral("Cannot write %1").arg(file_.fileName()));
      break;
    }
    frames_ += frames;
  }
  ended_ = true;
  if (!stopRequested_) emit Finished();
}

bool TSoundRecorder::WriteAndPatch(const char* data, qint64 bytes) {
  const qint64 end = file_.size();
  if (end + bytes > kMaxWavBytes) return false;
  if (bytes > 0 && (!file_.seek(end) || file_.write(data, bytes) != bytes)) return false;
  uchar riff[4];
  uchar dataSize[4];
  qToLittleEndian(quint32(end + bytes - 8), riff);
  qToLittleEndian(quint32(end + bytes - dataOffset_), dataSize);
  return file_.seek(4) && file_.write(reinterpret_cast<char*>(riff), 4) == 4 && file_.seek(dataSizeOffset_) &&
         file_.write(reinterpret_cast<char*>(dataSize), 4) == 4 && file_.flush();
}

void TSoundRecorder::Stop() {
  if (!worker_.joinable()) return;
  stopRequested_ = true;
  worker_.join();
  std::lock_guard lock(AudioSystemLock());
  Pa_AbortStream(stream_);
  Pa_CloseStream(stream_);
  stream_ = nullptr;
  Pa_Terminate();
  file_.close();
}

}  // namespace trackmill
