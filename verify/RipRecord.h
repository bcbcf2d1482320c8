#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "verify/AccurateRipSum.h"
#include "cd/CopyReport.h"
#include "cd/DiscLayout.h"
#include "verify/AccurateRipLookup.h"
#include "jobs/JobRunner.h"
#include "settings/Settings.h"

// What a finished rip leaves beside its tracks: the rip log and the cue sheet, both named
// after the disc ("Artist - Album.log", ".cue"; "Unknown Artist - Unknown Album" without
// titles) and written whole or not at all.
//
// The cue sheet has one FILE per track file, each track's pregap at the end of the previous
// file (INDEX 00 there, INDEX 01 at the start of the track's own file) and the CDDB id as
// REM DISCID. A log or cue sheet of another disc under the same name is replaced only when
// the overwrite question says yes; one of the same disc is replaced silently.
// Plain values and functions; main thread for writing (the overwrite question).
namespace trackmill {

class TOverwriteQuestion;

struct RippedTrack {
  int number = 0;  // on the disc
  QString title;      // as the file was written with it
  QString performer;  // the track's own artist; empty when it is the disc's
  QString file;       // the track's final file
  JobItemResult result = JobItemResult::Pending;
  AccurateRipChecksums sums;
  AccurateRipVerdict verdict;
  QString ctdbText;  // the parity database's word on the track; empty without one
  CopyReport copy;  // secure false after a fast extraction
};

struct RipRecord {
  QString drive;  // CdDrive::Identity
  qint32 readOffset = 0;
  QString damageMap;  // CdDrive::DamageMapLine: empty unless an image read through one
  DiscLayout disc;
  std::vector<int> pregapFrames;  // by position in disc.tracks
  AccurateRipDiscId discId;
  bool lookedUp = false;  // false: the lookup was switched off, or the rip stopped
  bool stopped = false;   // by the user
  AccurateRipLookup::Outcome outcome = AccurateRipLookup::Outcome::Unreachable;
  QString lookupDetail;
  DiscInfo info;
  QString outputFormat;             // "FLAC", ...
  QStringList settings;             // "Name: value" lines
  std::vector<RippedTrack> tracks;  // in rip order
  QStringList errors;               // as the job reported them
  QStringList ctdbLines;            // the parity database's check; empty when it is off
};

// "Artist - Album" with the characters file names may not hold removed.
QString RipFilesBaseName(const DiscInfo& info);
QString RipLogText(const RipRecord& record);
QString CueSheetText(const RipRecord& record);
// Writes both into folder; returns what failed (empty on success or when the user keeps the
// other disc's files). A rip that wrote no track leaves both as they are.
QString WriteRipLogAndCue(const RipRecord& record, const QString& folder, TOverwriteQuestion* question);

}  // namespace trackmill
