#pragma once
#include <QString>
#include <vector>

#include "verify/AccurateRipSum.h"
#include "cd/DiscLayout.h"
#include "verify/DbarReader.h"

// Looking a rip up in the checksum database, and what it says of each track.
//
// LookUpAccurateRip fetches the disc's reply over plain HTTP (blocking; call it off the main
// thread where that matters) and sorts the answer into: found (pressings of this very disc),
// not in the database (404 or an empty reply), unreachable (no connection, time-out, other
// HTTP failures) or unreadable (a reply with no whole block for this disc). An unreachable
// database is never taken for a disc it does not know. Any thread.
namespace trackmill {

struct AccurateRipLookup {
  enum class Outcome { Found, NotInDatabase, Unreachable, Unreadable };
  Outcome outcome = Outcome::Unreachable;
  QString detail;                       // why it was unreachable or unreadable
  std::vector<DbarPressing> pressings;  // Found: the blocks that name this disc
};

struct AccurateRipServer {
  QString hostPort;  // HOST[:PORT]; port 80 when none is given
  int connectTimeoutMs = 5000;
  int requestTimeoutMs = 15000;
};

// http://HOST:PORT/accuraterip/path, the place of everything the database serves.
QByteArray AccurateRipUrl(const QString& hostPort, const QString& path);

AccurateRipLookup LookUpAccurateRip(const AccurateRipDiscId& disc, const AccurateRipServer& server);
// The lookup's sorting of a reply body already fetched with HTTP status 200.
AccurateRipLookup SortDbarReply(const AccurateRipDiscId& disc, const QByteArray& body);

// What the database says of one track.
struct AccurateRipVerdict {
  enum class Kind { Accurate, NotAccurate, NotInDatabase, NotChecked, NoAnswer };
  Kind kind = Kind::NoAnswer;
  int confidence = 0;  // Accurate: the pressings' highest confidence for the matching checksum
  int version = 0;     // Accurate: 1 or 2, the checksum that matched
};

// audioIndex: the track's place among the disc's audio tracks, from 0. NotChecked when the
// track's checksums are not valid (not read whole).
AccurateRipVerdict JudgeTrack(const AccurateRipLookup& lookup, int audioIndex,
                              const AccurateRipChecksums& sums);

// "accurately ripped (confidence 12, v2)", "not accurately ripped", "not in database",
// "not checked", "AccurateRip database not reachable", "AccurateRip reply unreadable".
QString VerdictText(const AccurateRipVerdict& verdict, AccurateRipLookup::Outcome outcome);

}  // namespace trackmill
