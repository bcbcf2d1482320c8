// `trackmill play`: an Ogg Vorbis (.ogg, .oga) or WAV file, or a track of a disc, through the sound output.
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"
#include "app/cli/DriveOption.h"
#include "app/cli/StopSignal.h"
#include "app/cli/TerminalProgress.h"
#include "audio/codecs/VorbisIn.h"
#include "audio/wav/WaveIn.h"
#include "player/CDPlayback.h"
#include "player/OggPlayer.h"
#include "settings/Settings.h"

namespace trackmill::cli {
namespace {

constexpr int kLatencyMs = 200;

// The end of a playback, from the output's events or Ctrl+C.
struct PlaybackEnd {
  QEventLoop loop;
  QString error;
  bool ended = false;
  bool stopped = false;
  void End(const QString& failure) {
    error = failure;
    ended = true;
    loop.quit();
  }
};

// Shows the progress line until the playback ends; Ctrl+C calls stop. Returns the exit code.
int WaitForPlayback(PlaybackEnd& end, const QString& caption, const TAuOutput& output, qint64 totalSeconds,
                    const std::function<void()>& stop) {
  TerminalProgress progress;
  QTimer timer;
  timer.setInterval(500);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const int percent = std::max(0, output.Progress());
    progress.Show(caption, "Playing", percent, OggPlayer::MinutesSeconds(totalSeconds * percent / 100),
                  OggPlayer::MinutesSeconds(totalSeconds));
  });
  TStopSignal stopSignal([&] {
    end.stopped = true;
    stop();
    end.loop.quit();
  });
  timer.start();
  if (!end.ended) end.loop.exec();
  timer.stop();
  progress.Break();
  if (end.stopped) {
    Err() << "trackmill: stopped" << Qt::endl;
    return 130;
  }
  return end.error.isEmpty() ? 0 : Fail(end.error);
}

int PlayFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  std::unique_ptr<TAuFileIn> input;
  TVorbisIn* vorbis = nullptr;
  if (suffix == "ogg" || suffix == "oga") {
    input = std::make_unique<TVorbisIn>();
    vorbis = static_cast<TVorbisIn*>(input.get());
  }
  else if (suffix == "wav")
    input = std::make_unique<TWaveIn>();
  else
    return Fail("play takes an .ogg or a .wav file", 2);
  input->SetFileName(path);
  if (!input->Valid()) return Fail(QStringLiteral("%1 cannot be played").arg(path));
  PortAudioOutput output;
  output.SetLatency(kLatencyMs);
  output.SetInput(input.get());
  PlaybackEnd end;
  QString failure;
  output.SetOnThreadException([&](TAuOutput* sender) { failure = sender->ExceptionMessage(); });
  output.SetOnDone([&](TAuOutput*) { end.End(failure); });
  // Asked before playback starts: from then on the input belongs to the output's thread.
  const qint64 seconds = input->GetTotalSeconds();
  output.Run();
  const int exitCode =
      WaitForPlayback(end, QFileInfo(path).fileName(), output, seconds, [&] { output.Stop(false); });
  // Said once, after the progress line: what was heard had gaps.
  if (vorbis && vorbis->DamagedSpots() > 0) Err() << "trackmill: " << path << ": damaged data skipped" << Qt::endl;
  return exitCode;
}

int PlayTrack(const DriveChoice& drive, const QString& trackText) {
  bool ok = false;
  const int track = trackText.toInt(&ok);
  if (!ok || track < 1) return Fail(QStringLiteral("bad track number \"%1\"").arg(trackText), 2);
  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  TCDPlayback playback;
  PlaybackEnd end;
  QObject::connect(&playback, &TCDPlayback::Finished, [&](const QString& error) { end.End(error); });
  if (const QString error = playback.Play(list.Drive, track); !error.isEmpty()) return Fail(error);
  return WaitForPlayback(end, QStringLiteral("Track %1").arg(track), *playback.Output(), playback.TrackSeconds(),
                         [&] { playback.Stop(); });
}

}  // namespace

int RunPlayCommand(const QStringList& arguments) {
  LoadSettingsOrWarn();
  QStringList args = arguments;
  bool ok = true;
  const QString track = TakeOption(args, "--track", &ok);
  if (!ok) return Fail("--track needs a track number", 2);
  if (track.isEmpty()) {
    QString unknown;
    const QStringList files = Operands(args, &unknown);
    if (files.size() != 1 || !unknown.isEmpty()) return Fail("play needs one file, or --track N", 2);
    return PlayFile(files.first());
  }
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);
  return PlayTrack(drive, track);
}

}  // namespace trackmill::cli
