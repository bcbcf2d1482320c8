// `trackmill record`: the default sound input into a WAV file.
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"
#include "app/cli/StopSignal.h"
#include "app/cli/TerminalProgress.h"
#include "audio/wav/WavFormat.h"
#include "player/OggPlayer.h"
#include "player/SoundRecorder.h"

namespace trackmill::cli {
namespace {

// The value of an integer option, def when absent; false when it is malformed or not allowed.
bool TakeNumber(QStringList& args, const QString& name, int def, const QList<int>& allowed, int low, int high,
                int& value) {
  bool ok = true;
  const QString text = TakeOption(args, name, &ok);
  if (!ok) return false;
  if (text.isEmpty()) {
    value = def;
    return true;
  }
  value = text.toInt(&ok);
  if (!allowed.isEmpty()) return ok && allowed.contains(value);
  return ok && value >= low && value <= high;
}

}  // namespace

int RunRecordCommand(const QStringList& arguments) {
  QStringList args = arguments;
  int seconds = 0, rate = 0, bits = 0, channels = 0;
  if (!TakeNumber(args, "--seconds", 0, {}, 1, 24 * 3600, seconds)) return Fail("--seconds needs 1 or more", 2);
  if (!TakeNumber(args, "--rate", 44100, {}, 8000, 192000, rate)) return Fail("--rate needs 8000 to 192000", 2);
  if (!TakeNumber(args, "--bits", 16, {8, 16}, 0, 0, bits)) return Fail("--bits needs 8 or 16", 2);
  if (!TakeNumber(args, "--channels", 2, {1, 2}, 0, 0, channels)) return Fail("--channels needs 1 or 2", 2);
  QString unknown;
  const QStringList files = Operands(args, &unknown);
  if (files.size() != 1 || !unknown.isEmpty()) return Fail("record needs one output file", 2);
  const QString path = files.first();
  // A recording never replaces a file the user had.
  if (QFile::exists(path)) return Fail(QStringLiteral("%1 exists already").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(wav::PcmHeader(channels, quint32(rate), bits, 0)) != wav::kPcmHeaderBytes)
    return Fail(QStringLiteral("cannot write %1").arg(path));
  file.close();

  TSoundRecorder recorder;
  QEventLoop loop;
  QObject::connect(&recorder, &TSoundRecorder::Finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  if (const QString error = recorder.Start(path, 0, seconds > 0 ? qint64(seconds) * rate : -1); !error.isEmpty()) {
    QFile::remove(path);
    return Fail(error);
  }
  TerminalProgress progress;
  QTimer timer;
  timer.setInterval(500);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const qint64 done = recorder.FramesRecorded() / rate;
    progress.Show(path, "Recording", seconds > 0 ? int(done * 100 / seconds) : 0, OggPlayer::MinutesSeconds(done),
                  seconds > 0 ? OggPlayer::MinutesSeconds(seconds) : QStringLiteral("-"));
  });
  bool stopped = false;
  {
    TStopSignal stopSignal([&] {
      stopped = true;
      loop.quit();
    });
    timer.start();
    if (recorder.Recording()) loop.exec();
    timer.stop();
  }
  recorder.Stop();
  progress.Break();
  Out() << QStringLiteral("%1: %2 s recorded")
               .arg(path)
               .arg(double(recorder.FramesRecorded()) / rate, 0, 'f', 1)
        << Qt::endl;
  if (!recorder.Error().isEmpty()) return Fail(recorder.Error());
  return stopped ? 130 : 0;
}

}  // namespace trackmill::cli
