#pragma once
#include <QString>
#include <QStringList>

#include "cd/DiscLayout.h"
#include "verify/ctdb/CtdbVerification.h"

// The parity database's check of a finished rip, beside AccurateRip's.
//
// Only a rip of every audio track can be checked: the audio is read back from the track files
// the rip wrote (16-bit stereo WAV, in disc order, the hidden-track pregap taken as silence),
// summed in one pass with memory flat in the disc's length, and looked up. Tracks in other
// formats, a partial or stopped rip, or files of the wrong length are "not checked", with the
// reason. Blocking on the network; any thread.
namespace trackmill {

struct RipRecord;

struct RipCtdbCheck {
  bool wanted = false;   // the lookup is on
  bool checked = false;  // the audio was summed and the database asked
  QString notChecked;    // wanted but not checked: why
  ctdb::CtdbVerdict verdict;

  // The log's lines: the TOC id, the lookup's outcome, one line per entry with its id, CRC,
  // offset and result. Empty when not wanted.
  QStringList LogLines() const;
  // "CTDB: confidence 8 of 10" for the track at audioIndex; empty when there is no answer.
  QString TrackText(int audioIndex) const;
  // One line for the terminal.
  QString Summary() const;
};

ctdb::CtdbToc CtdbTocOf(const DiscLayout& disc);

struct CtdbRepairOutcome {
  struct Track {
    int number = 0;         // on the disc
    qsizetype samples = 0;  // corrected words in it
  };
  std::vector<Track> repaired;
  QString failure;  // a file that could not be rewritten; the others stay repaired
};

// Writes the corrections of the best repairable entry into the rip's WAV files, each file
// replaced whole and atomically. Does nothing when an entry verified the rip as it is (the
// rip is then that pressing's audio) or none is repairable.
CtdbRepairOutcome RepairRipFiles(const RipRecord& record, const RipCtdbCheck& check);

RipCtdbCheck CheckRipWithCtdb(const RipRecord& record, const ctdb::CtdbServer& server, bool repair);

}  // namespace trackmill
