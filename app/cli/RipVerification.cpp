#include "app/cli/RipVerification.h"

#include "app/cli/CommandLine.h"
#include "verify/RipVerification.h"

namespace trackmill::cli {

int VerifyRip(const TJobRunner& job, const CdDrive& drive, const VerifyOptions& options,
              const QStringList& errors, TOverwriteQuestion& question) {
  RipVerification verification;
  if (!CollectRipRecord(job, drive, errors, options.lookUp, verification)) {
    Fail(QStringLiteral("the table of contents could not be read again; no AccurateRip check, no log"));
    return options.requireAccurate ? 3 : 0;
  }
  LookUpAndJudge(verification, options.server);
  bool suspicious = false;
  for (const RippedTrack& track : verification.record.tracks) {
    if (!track.copy.secure || !track.sums.valid) continue;
    Out() << QStringLiteral("Track %1: ").arg(track.number, 2, 10, QLatin1Char('0')) << track.copy.Line() << '\n';
    suspicious = suspicious || !track.copy.CopyOk();
  }
  for (const QString& line : verification.TrackLines()) Out() << line << '\n';
  const QString summary = verification.Summary();
  if (!summary.isEmpty()) Out() << summary << '\n';
  if (options.ctdb) {
    ctdb::CtdbServer server;
    server.hostPort = options.ctdbServer;
    CheckWithCtdb(verification, server, options.ctdbRepair);
    for (const QString& line : verification.record.ctdbLines) Out() << line.trimmed() << '\n';
    if (verification.ctdb.checked && verification.ctdb.verdict.lookup == ctdb::CtdbLookup::Outcome::Found)
      Out() << verification.ctdb.Summary() << '\n';
  }
  const QString error = WriteRipLogIfWanted(verification, question);
  if (!error.isEmpty()) Fail(error);
  Out().flush();
  if (suspicious) return 4;
  return options.requireAccurate && !verification.AllVerified() ? 3 : 0;
}

}  // namespace trackmill::cli
