#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "jobs/StepVerdict.h"

// What the end of a rip tells the user, made from the record of the rip after its lookup
// (RipVerification) and how the rip log came out: one row per track (its file, the folder it
// is in, how the track ended and what the checksum database says of it), the overall lines,
// and whether the rip needs the user's attention. Only a failed track or a track the database
// contradicts (a mismatch) needs it, and only then a message box is due; a database that could
// not be reached or does not know the disc is information, and a rip whose every file was kept
// (each overwrite declined) says plainly that nothing was written.
// Texts in the current language (language strings, English where a user's file lacks a key).
// Plain values; made on the main thread.
namespace trackmill {

struct RipVerification;

struct RipSummaryRow {
  int number = 0;        // the track's number on the disc
  QString fileName;      // the track's file, without its folder
  QString folder;        // the folder that holds it
  JobItemResult result = JobItemResult::Pending;
  QString resultText;    // "written", "kept (not replaced)", "failed", ...
  QString verification;  // the database's verdict; empty when the lookup is off
  bool mismatch = false;
  QString copy;             // what a secure read proved ("Copy OK", ...); empty after a fast one
  bool suspicious = false;  // the secure read left positions unproven
};

struct RipSummary {
  std::vector<RipSummaryRow> rows;
  QString folder;        // the output folder of the rip
  QString written;       // "2 of 3 tracks written." or that nothing was written
  QString verification;  // the database's answer in a line or two; empty when the lookup is off
  QString logError;      // why the rip log or cue sheet could not be written; empty when fine
  int writtenCount = 0;
  int failedCount = 0;
  int mismatchCount = 0;
  int suspiciousCount = 0;  // tracks read securely with suspicious positions

  bool NeedsAttention() const { return failedCount > 0 || mismatchCount > 0; }
  // The message box's text when NeedsAttention(): each failed or contradicted track.
  QString AttentionText() const;
  // Everything in a few lines: the desktop notification's body.
  QString OverallText() const;
};

RipSummary SummarizeRip(const RipVerification& verification, const QString& folder, const QString& logError);

}  // namespace trackmill
