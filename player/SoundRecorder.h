#pragma once
#include <QFile>
#include <QObject>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// TSoundRecorder: records from the default sound input through PortAudio into a plain PCM WAV
// file (8 or 16 bits), in the file's own format. What the file held before the start position
// stays; what followed it is replaced. The worker thread writes each buffer as it arrives and
// keeps the header's sizes right after every write, so a crash loses at most the last buffer.
//
// Threads: Start(), Stop() and the getters on one thread (the main thread); the reading and
// writing on the recorder's own worker. Finished() is emitted from the worker when recording
// ends by itself (the frame limit reached, or a failure); connect to it queued.
// Errors: Start() answers a text (empty on success); a failure while recording is kept in
// Error() and ends the recording.
namespace trackmill {

class TSoundRecorder : public QObject {
  Q_OBJECT
 public:
  explicit TSoundRecorder(QObject* parent = nullptr);
  ~TSoundRecorder() override;

  // Records into path from startMs on (clamped to the audio the file holds); with
  // frameLimit >= 0 recording ends by itself after that many frames.
  QString Start(const QString& path, qint64 startMs = 0, qint64 frameLimit = -1);
  // Ends the recording and waits for the worker; the file is complete on return.
  void Stop();
  bool Recording() const { return worker_.joinable() && !ended_.load(); }
  qint64 FramesRecorded() const { return frames_.load(); }
  int SampleRate() const { return rate_; }
  QString Error() const;

 signals:
  void Finished();

 private:
  void Record(void* stream, int framesPerRead);
  bool WriteAndPatch(const char* data, qint64 bytes);
  void Fail(const QString& message);

  QFile file_;
  qint64 dataSizeOffset_ = 0;
  qint64 dataOffset_ = 0;
  int rate_ = 0;
  int frameBytes_ = 1;
  qint64 frameLimit_ = -1;
  void* stream_ = nullptr;
  std::thread worker_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> ended_{false};
  std::atomic<qint64> frames_{0};
  mutable std::mutex errorLock_;
  QString error_;
};

}  // namespace trackmill
