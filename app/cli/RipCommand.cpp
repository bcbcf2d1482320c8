#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <csignal>
#include <cstdlib>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/DriveOption.h"
#include "app/cli/FileJobCommand.h"
#include "app/cli/RipVerification.h"
#include "app/cli/TerminalProgress.h"
#include "cd/Drive.h"
#include "cd/CDRipThread.h"
#include "cd/TrackList.h"
#include "common/FileUtils.h"
#include "common/JobCodes.h"
#include "common/JobReports.h"
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

}  // namespace

// Extracts the chosen tracks and encodes them as the Extract command does, naming them by the
// file-name pattern.
int RunRipCommand(const QStringList& arguments) {
  // Over a file-size limit a write must fail with EFBIG instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  LoadSettingsOrWarn();
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
  const QString pattern = TakeOption(args, "--pattern", &ok);
  if (!ok) return Fail("--pattern needs a file-name pattern such as \"%n - %t\"", 2);
  VerifyOptions verify;
  verify.server = TakeOption(args, "--accuraterip-server", &ok);
  if (!ok) return Fail("--accuraterip-server needs HOST[:PORT]", 2);
  verify.lookUp = !TakeFlag(args, "--no-accuraterip") && Settings().UseAccurateRip;
  verify.requireAccurate = TakeFlag(args, "--require-accurate");
  if (verify.server.isEmpty()) verify.server = Settings().AccurateRipServer;
  verify.ctdbServer = TakeOption(args, "--ctdb-server", &ok);
  if (!ok) return Fail("--ctdb-server needs HOST[:PORT]", 2);
  if (verify.ctdbServer.isEmpty()) verify.ctdbServer = Settings().CtdbServer;
  verify.ctdb = !TakeFlag(args, "--no-ctdb") && Settings().UseCtdb;
  verify.ctdbRepair = Settings().CtdbRepair;
  const QString offsetText = TakeOption(args, "--read-offset", &ok);
  if (!ok) return Fail("--read-offset needs a number of samples", 2);
  bool offsetOk = true;
  const int readOffset = offsetText.toInt(&offsetOk);
  if (!offsetText.isEmpty() && (!offsetOk || std::abs(readOffset) > kMaxReadOffset))
    return Fail(QStringLiteral("bad read offset \"%1\"").arg(offsetText), 2);
  const QString readMode = TakeOption(args, "--read-mode", &ok);
  if (!ok) return Fail("--read-mode needs fast or secure", 2);
  if (!readMode.isEmpty() && readMode != "fast" && readMode != "secure")
    return Fail(QStringLiteral("bad read mode \"%1\": use fast or secure").arg(readMode), 2);
  const bool yes = TakeFlag(args, "--yes");
  const bool no = TakeFlag(args, "--no");
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);
  if (yes && no) return Fail("give either --yes or --no", 2);

  if (!format.isEmpty()) {
    // Given here, the format holds for this run only.
    const auto& names = output_format::kExtensions;
    const auto position = std::find_if(names.begin(), names.end(), [&](const char* name) {
      return format.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    }) - names.begin();
    if (!output_format::IsKnown(static_cast<qint32>(position)))
      return Fail(QStringLiteral("unknown format \"%1\": use mp3, wav, ogg, wma or flac").arg(format), 2);
    Settings().OutputFormat = static_cast<qint32>(position);
  }
  if (!output.isEmpty()) Settings().OutputFolder = QFileInfo(output).absoluteFilePath();
  if (!pattern.isEmpty()) Settings().FileNamePattern = pattern;
  if (!readMode.isEmpty()) Settings().ExtractionMode = readMode == "fast" ? kExtractionFast : kExtractionSecure;

  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  // For this run only: the settings file is not written.
  if (!offsetText.isEmpty()) Settings().ReadOffsets.insert(list.Drive->Identity(), readOffset);

  if (!trackText.isEmpty()) {
    const QSet<int> chosen = ParseTrackSelection(trackText, &ok);
    if (!ok) return Fail(QStringLiteral("bad track list \"%1\"").arg(trackText), 2);
    for (int t : chosen)
      if (t > int(list.Rows.size()))
        return Fail(QStringLiteral("the disc has no track %1 (it has %2)").arg(t).arg(list.Rows.size()));
    for (size_t i = 0; i < list.Rows.size(); ++i) list.Rows[i].Checked = chosen.contains(int(i) + 1);
  }
  const JobItems items = list.ExtractItems();
  if (items.empty()) return Fail(LangString("RES_Select_Track"));

  const QString folder = Settings().OutputFolder;
  if (!QFileInfo(folder).isDir()) {
    const QString missing = LangString("RES_Directory_Not_Exist");
    if (no) return Fail(folder + "," + missing + " " + LangString("RES_Check_Output"));
    // Another run may have made it meanwhile.
    if (!QDir().mkdir(folder) && !QFileInfo(folder).isDir()) return Fail("Cannot create " + folder);
    Err() << folder << "," << missing << " Created it." << Qt::endl;
  }
  if (Settings().EnableRipTime && Settings().RipTime == 0)
    return Fail(LangString("RES_Select_0"));

  // Extraction, encoding and tagging run as a job of the job runner, as in the window.
  return RunJobInTerminal(
      job_kind::kRipCd, list.Drive, items, yes ? "yes" : (no ? "no" : ""), QStringLiteral("tracks"),
      [&](const TJobRunner& job, const QStringList& errors, TOverwriteQuestion& question) {
        return VerifyRip(job, *list.Drive, verify, errors, question);
      });
}

}  // namespace trackmill::cli
