#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <csignal>

#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"
#include "app/cli/DriveOption.h"
#include "app/cli/TerminalProgress.h"
#include "cd/CDDrive.h"
#include "cd/CDRipThread.h"
#include "cd/TrackList.h"
#include "common/FileUtils.h"
#include "common/JobEvents.h"
#include "common/TextForms.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill::cli {
namespace {

// "1,3-5" -> {1, 3, 4, 5}; empty set and ok = false when malformed.
QSet<int> ParseTrackSelection(const QString& text, bool* ok) {
  QSet<int> tracks;
  *ok = !text.trimmed().isEmpty();
  for (const QString& part : text.split(',')) {
    const QStringList range = part.trimmed().split('-');
    bool okFrom = false, okTo = false;
    const int from = range.first().toInt(&okFrom);
    const int to = range.size() == 2 ? range[1].toInt(&okTo) : from;
    if (range.size() == 2 ? !(okFrom && okTo) : (range.size() != 1 || !okFrom)) *ok = false;
    if (!*ok || from < 1 || to < from || to > 99) {
      *ok = false;
      return {};
    }
    for (int t = from; t <= to; ++t) tracks.insert(t);
  }
  return tracks;
}

// Receives the extraction thread's events on the main thread and shows them.
class RipMonitor : public QObject {
 public:
  RipMonitor(TerminalProgress& progress, const QString& caption) : progress_(progress), caption_(caption) {}
  int ripFailed = 0;
  bool ended = false;
  qint32 errorCode = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == RipFailedEvent::EventType()) {
      ripFailed = static_cast<RipFailedEvent*>(e)->Reason();
      return true;
    }
    if (e->type() != JobProgressEvent::EventType()) return QObject::event(e);
    const TProcessInfo& info = static_cast<JobProgressEvent*>(e)->Info();
    if (info.Percent == status::kNormalizeBegins) {
      normalising_ = true;
    } else if (info.Percent == status::kExtractionEnded) {
      ended = true;
      errorCode = info.ErrorCode;
    } else if (info.Percent >= 0 && info.Percent <= 100) {
      progress_.Show(caption_, normalising_ ? "Normalising" : "Extracting", info.Percent, info.TimeElapsed,
                     info.TimeEstimated);
    }
    return true;
  }

 private:
  TerminalProgress& progress_;
  QString caption_;
  bool normalising_ = false;
};

}  // namespace

// Extracts the chosen tracks to WAV files named by their cleaned titles, one extraction
// thread after another, as the Extract command builds its items.
int RunRipCommand(const QStringList& arguments) {
  // Over a file-size limit a write must fail with EFBIG instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  LoadSettings();
  QStringList args = arguments;
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  bool ok = true;
  const QString trackText = TakeOption(args, "--tracks", &ok);
  if (!ok) return Fail("--tracks needs a list such as 1,3-5", 2);
  QString format = TakeOption(args, "--format", &ok);
  if (!ok) return Fail("--format needs a format name", 2);
  const QString output = TakeOption(args, "--output", &ok);
  if (!ok) return Fail("--output needs a folder", 2);
  const bool yes = TakeFlag(args, "--yes");
  const bool no = TakeFlag(args, "--no");
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);
  if (yes && no) return Fail("give either --yes or --no", 2);

  if (format.isEmpty()) format = OutputFormatName(Settings().OutputFormat);
  if (format.compare("wav", Qt::CaseInsensitive) != 0)
    return Fail(QStringLiteral("the rip command writes WAV files only for now; use --format wav (asked: %1)")
                    .arg(format.isEmpty() ? QStringLiteral("none") : format), 2);
  if (!output.isEmpty()) Settings().OutputFolder = QFileInfo(output).absoluteFilePath();

  TrackList list;
  list.Show(drive.driveIndex);
  if (list.CDHandle == 0) return Fail(list.Status);
  list.Activate();
  if (list.NoAudioCD || list.Rows.empty()) {
    const QString status = list.Status;
    CloseCDHandle(list.CDHandle);
    return Fail(status);
  }
  struct HandleCloser {
    TCDHandle handle;
    ~HandleCloser() { CloseCDHandle(handle); }
  } closer{list.CDHandle};

  if (!trackText.isEmpty()) {
    const QSet<int> chosen = ParseTrackSelection(trackText, &ok);
    if (!ok) return Fail(QStringLiteral("bad track list \"%1\"").arg(trackText), 2);
    for (int t : chosen)
      if (t > int(list.Rows.size()))
        return Fail(QStringLiteral("the disc has no track %1 (it has %2)").arg(t).arg(list.Rows.size()));
    for (size_t i = 0; i < list.Rows.size(); ++i) list.Rows[i].Checked = chosen.contains(int(i) + 1);
  }
  const QStringList items = list.ExtractItems();
  if (items.isEmpty()) return Fail(LangString("RES_Select_Track", "Please select a track at least!"));

  const QString folder = Settings().OutputFolder;
  if (!QFileInfo(folder).isDir()) {
    const QString missing = LangString("RES_Directory_Not_Exist", "The output directory does not exist.");
    if (no) return Fail(folder + "," + missing + " " + LangString("RES_Check_Output", "Please check the output directory setting."));
    if (!QDir().mkdir(folder)) return Fail("Cannot create " + folder);
    Err() << folder << "," << missing << " Created it." << Qt::endl;
  }
  if (Settings().EnableRipTime && Settings().RipTime == 0)
    return Fail(LangString("RES_Select_0", "You select to extract 0 second, please change it on Options dialog."));

  TerminalProgress progress;
  int failures = 0;
  for (const QString& item : items) {
    const JobItemParts parts = SplitJobItem(item);
    RipMonitor monitor(progress, parts.baseName);
    TCDRipThread thread(parts.trackNo, parts.baseName);
    thread.CDHandle = list.CDHandle;
    thread.NotifyWnd = &monitor;
    QEventLoop loop;
    QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread.start();
    loop.exec();
    thread.wait();
    QCoreApplication::sendPostedEvents(&monitor);
    progress.Break();

    const QString path = thread.FileName();
    if (monitor.ripFailed == kRipFailedAddressFormat)
      return Fail("the drive refused to report minute/second/frame addresses");
    if (monitor.ripFailed == kRipFailedReadToc)
      return Fail(LangString("RES_ReadTocError", "Error while reading TOC information!"));
    if (!monitor.ended) return Fail("the extraction of " + parts.baseName + " ended without a result");
    switch (monitor.errorCode) {
      case kRipDone:
        if (!thread.NormalizeError().isEmpty())
          Err() << "trackmill: warning: " << thread.NormalizeError() << " The track was kept as extracted." << Qt::endl;
        Out() << path << Qt::endl;
        continue;
      case kRipReadError:
        Err() << "trackmill: " << parts.baseName << ": "
              << LangString("RES_ReadCDAudioError", "Error while reading CD information!") << Qt::endl;
        break;
      case kRipCannotCreate:
        Err() << "trackmill: " << path
              << LangString("RES_CreateWavFileError",
                            " is not a valid file name.Please rename the Title in the CD tracks list.")
              << Qt::endl;
        break;
      default:
        Err() << "trackmill: cannot write " << path << " (is the disk full, or the file too large?)" << Qt::endl;
        break;
    }
    ++failures;
  }
  if (failures > 0) return Fail(QStringLiteral("%1 of %2 tracks could not be extracted").arg(failures).arg(items.size()));
  return 0;
}

}  // namespace trackmill::cli
