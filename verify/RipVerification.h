#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "cd/Drive.h"
#include "verify/AccurateRipLookup.h"
#include "verify/RipCtdbCheck.h"
#include "verify/RipRecord.h"

// What follows a CD rip, shared by the command line and the job window: the record of the rip
// (drive, layout, settings, per-track results and checksums), the AccurateRip lookup with one
// verdict per track, the texts shown to the user, and the rip log and cue sheet.
namespace trackmill {

class TJobRunner;

struct RipVerification {
  RipRecord record;
  AccurateRipLookup lookup;
  std::vector<int> audioIndexes;  // per record track: its place among the disc's audio tracks
  int accurate = 0;
  RipCtdbCheck ctdb;
  std::vector<int> ctdbRepaired;  // numbers of the tracks the parity database's data repaired

  // "Track 01: ..." per track once looked up with an answer; empty otherwise.
  QStringList TrackLines() const;
  // One line: the count of accurate tracks, or why the database gave no answer; empty when
  // the lookup is off.
  QString Summary() const;
  bool AllAccurate() const;
  // Every track accurate by AccurateRip, with confidence in the parity database or repaired
  // from it.
  bool AllVerified() const;
};

// Gathers the record of a finished rip job from the disc layout the job read. Returns false
// when the job had none (its table of contents could not be read). The drive must be open and no
// extraction running on it; call it on the thread that owns the drive.
bool CollectRipRecord(const TJobRunner& job, const CdDrive& drive, const QStringList& errors, bool lookUp,
                      RipVerification& out);

// Looks the disc up (blocking, bounded by the lookup's time-outs; any thread) and judges every
// track. Does nothing when the record says the lookup is off.
void LookUpAndJudge(RipVerification& verification, const QString& server);

// Checks the rip with the parity database (blocking; any thread) and puts its lines into the
// record for the log. Nothing is checked for a stopped rip.
void CheckWithCtdb(RipVerification& verification, const ctdb::CtdbServer& server, bool repair);

// Writes the rip log and cue sheet when the settings ask for them; returns the error text or "".
QString WriteRipLogIfWanted(const RipVerification& verification, TOverwriteQuestion& question);

}  // namespace trackmill
