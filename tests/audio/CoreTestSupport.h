#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

#include "audio/core/AuInput.h"
#include "audio/core/AuOutput.h"

// Helpers for the pipeline tests: a PCM input over bytes in memory, whole-input reads,
// running an output until its OnDone, and the peer tools.
namespace trackmill::test {

// Delivers the given bytes in pieces of at most pieceBytes; Size is the byte count, or -1
// when announceSize is false. failAfterBytes >= 0 makes ReadBlock raise once that many bytes
// went out.
class TMemoryIn : public TAuInput {
 public:
  TMemoryIn(QByteArray pcm, int bits, int channels, int rate) : pcm_(std::move(pcm)), bits_(bits), channels_(channels), rate_(rate) {}
  bool announceSize = true;
  qint64 announcedBytes = -2;  // overrides the announced size when >= -1
  int pieceBytes = 4096;
  qint64 failAfterBytes = -1;
  std::atomic<int> opened{0};

  int GetBitsPerSample() override { return bits_; }
  int GetChannels() override { return channels_; }
  int GetSampleRate() override { return rate_; }

 protected:
  void OpenInput() override;
  void CloseInput() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  QByteArray pcm_;
  int bits_, channels_, rate_;
  qint64 offset_ = 0;
};

// Runs the output and waits (processing events) for its OnDone; false when it never came.
bool RunUntilDone(TAuOutput& output);
// Processes events until the condition holds (gives up after a minute).
bool WaitFor(const std::function<bool()>& condition);

bool RunTool(const QString& program, const QStringList& args);
QByteArray ToolOutput(const QString& program, const QStringList& args);
// A stereo or multichannel 16-bit test signal of frames frames (deterministic tones).
QByteArray Tones16(int frames, int channels);

}  // namespace trackmill::test
