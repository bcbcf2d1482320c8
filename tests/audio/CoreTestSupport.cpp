#include "CoreTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>

#include "audio/core/AuException.h"
#include "support/TestPaths.h"

namespace trackmill::test {

void TMemoryIn::OpenInput() {
  offset_ = 0;
  position_ = 0;
  size_ = announcedBytes >= -1 ? announcedBytes : (announceSize ? pcm_.size() : -1);
  busy_ = true;
  ++opened;
}

void TMemoryIn::CloseInput() { busy_ = false; }

void TMemoryIn::ReadBlock(const char*& data, int& byteCount) {
  if (failAfterBytes >= 0 && offset_ >= failAfterBytes) throw EAuException("Input failed on purpose");
  const qint64 count = std::min<qint64>({qint64(byteCount), qint64(pieceBytes), pcm_.size() - offset_});
  data = pcm_.constData() + offset_;
  byteCount = static_cast<int>(std::max<qint64>(count, 0));
  offset_ += byteCount;
  position_ += byteCount;
}

bool WaitFor(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(60000);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

bool RunUntilDone(TAuOutput& output) {
  bool done = false;
  const TAuOutput::EventHandler previous = output.OnDone();
  output.SetOnDone([&done, previous](TAuOutput* sender) {
    if (previous) previous(sender);
    done = true;
  });
  output.Run();
  const bool ok = WaitFor([&done] { return done; });
  output.SetOnDone(previous);
  return ok;
}

bool RunTool(const QString& program, const QStringList& args) {
  const ProcessResult result = RunProgram(program, args);
  return result.exitCode == 0;
}

QByteArray ToolOutput(const QString& program, const QStringList& args) {
  return RunProgram(program, args).out;
}

QByteArray Tones16(int frames, int channels) {
  QByteArray pcm(qsizetype(frames) * channels * 2, '\0');
  for (int i = 0; i < frames; ++i) {
    for (int ch = 0; ch < channels; ++ch) {
      const double v = 12000.0 * std::sin(2 * M_PI * (220.0 * (ch + 1)) * i / 44100.0) +
                       4000.0 * std::sin(2 * M_PI * 3100.0 * i / 44100.0);
      qToLittleEndian<qint16>(static_cast<qint16>(std::lround(v)), pcm.data() + (qsizetype(i) * channels + ch) * 2);
    }
  }
  return pcm;
}

}  // namespace trackmill::test
