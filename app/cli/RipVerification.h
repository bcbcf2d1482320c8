#pragma once
#include <QString>
#include <QStringList>

#include "cd/Drive.h"

namespace trackmill {
class TJobRunner;
class TOverwriteQuestion;
}  // namespace trackmill

// After a rip on the command line: the shared verification (jobs/RipVerification) printed on
// the terminal, one line per track and a summary, then the rip log and cue sheet.
namespace trackmill::cli {

struct VerifyOptions {
  bool lookUp = true;
  QString server;  // HOST[:PORT]
  bool requireAccurate = false;
  bool ctdb = true;        // check with the parity database too
  QString ctdbServer;      // HOST[:PORT]
  bool ctdbRepair = true;  // fetch parity when the rip differs
};

// Prints each securely read track's copy line; returns 4 when a track has suspicious
// positions, else 3 when requireAccurate and a track was neither accurately ripped nor
// confirmed by the parity database (or neither database gave an answer), else 0. The drive
// must be open and no extraction running on it.
int VerifyRip(const TJobRunner& job, const CdDrive& drive, const VerifyOptions& options,
              const QStringList& errors, TOverwriteQuestion& question);

}  // namespace trackmill::cli
