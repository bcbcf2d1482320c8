#pragma once
#include <QString>
#include <vector>

#include "verify/ctdb/CtdbLookup.h"
#include "verify/ctdb/CtdbRepair.h"
#include "verify/ctdb/CtdbStreamSums.h"

// What the parity database says of a rip: for each entry of the lookup whether the rip is that
// pressing's audio (verified), differs from it in a way its parity repairs, differs beyond
// repair, or is another pressing; and the confidence of the disc and of every track.
//
// VerifyWithCtdb judges every entry independently: it checks the entry's audio length and
// stride, finds its offset through column 0, and for an entry that matches with errors and
// has parity (when repair is wanted) fetches the parity file in growing steps until the
// corrections are confirmed by the entry's disc CRC. Blocking on the network; any thread.
// Nothing is written: a repairable entry carries the corrections to apply.
namespace trackmill::ctdb {

struct CtdbEntryVerdict {
  enum class Kind { Verified, Repairable, NotRepairable, NoMatch, DifferentLength, CouldNotVerify };
  Kind kind = Kind::NoMatch;
  CtdbEntry entry;
  int offsetSamples = 0;
  RepairPlan repair;   // Repairable: the corrections
  QString detail;      // NotRepairable, CouldNotVerify: why
  std::vector<bool> trackMatches;  // not repaired, with trackcrcs: the track's CRC agrees
};

struct CtdbVerdict {
  CtdbLookup::Outcome lookup = CtdbLookup::Outcome::Unreachable;
  QString lookupDetail;
  QString tocId;
  std::vector<CtdbEntryVerdict> entries;
  int totalConfidence = 0;
  int discConfidence = 0;            // entries of our exact TOC that verified
  std::vector<int> trackConfidence;  // per audio track
  // The repairable entry with the fewest corrections, or null.
  const CtdbEntryVerdict* BestRepair() const;
};

CtdbVerdict VerifyWithCtdb(const CtdbToc& toc, const CtdbStreamSums& sums,
                           const CtdbLookup& lookup, bool repair, const CtdbServer& server);

// "verified (confidence 8)", "differs in 12 samples (confidence 8), repairable",
// "differs (confidence 8), not repairable: ...", "no match", "different audio length",
// "could not be verified: HTTP status 404".
QString EntryText(const CtdbEntryVerdict& verdict);
// "not in database", "database not reachable (...)", "database reply unreadable (...)", or
// "found N entries" for a found disc.
QString LookupText(const CtdbVerdict& verdict);

}  // namespace trackmill::ctdb
