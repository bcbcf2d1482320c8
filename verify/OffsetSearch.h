#pragma once
#include <QString>
#include <vector>

#include "cd/DiscLayout.h"
#include "verify/AccurateRipLookup.h"

// Finding a drive's read offset from a disc the checksum database knows: for every shift of
// the read within +-kOffsetSearchSamples, the tracks whose sector-450 checksum equals one of
// the database's entries for that track.
//
// The evidence is weighed as the database's users weigh it. A zero checksum is no evidence
// (a silent window gives zero at every shift, and many entries hold zero for want of a
// value), so zero entries are never matched. A match counts with the confidence of the
// entries it matches. An offset needs at least kOffsetTracksNeeded matching tracks (every
// track of a disc with fewer), and an offset is only given when no other one comes close:
// a second offset with the same weight is a tie, one with at least 80 % of the best weight a
// near-tie, and both are reported instead of one chosen.
//
// OffsetSearch weighs windows handed to it; one owner, any thread. SearchReadOffset reads
// the windows from a drive and weighs them; it blocks while the drive reads.
namespace trackmill {

inline constexpr int kOffsetSearchSamples = 2940;  // five sectors either way
inline constexpr int kOffsetWindowSamples = kSamplesPerSector + 2 * kOffsetSearchSamples;
inline constexpr int kOffsetTracksNeeded = 3;
inline constexpr int kNearTiePercent = 80;

struct OffsetCandidate {
  int offsetSamples = 0;
  int weight = 0;          // the confidences of the matched entries, summed
  int matchingTracks = 0;  // tracks with a match at this offset
};

struct OffsetSearchResult {
  enum class Outcome { Found, Tie, NearTie, NotFound };
  Outcome outcome = Outcome::NotFound;
  // Found, Tie, NearTie: the heaviest offset with enough tracks. NotFound: the heaviest offset
  // of all, short of tracks (weight 0 when nothing matched anywhere).
  OffsetCandidate best;
  OffsetCandidate runnerUp;  // Tie, NearTie: the other offset
  int tracksNeeded = 0;
  QString readError;  // SearchReadOffset: why a window could not be read (outcome NotFound)
};

class OffsetSearch {
 public:
  // checkableTracks: the disc's audio tracks that hold the checksum sector; it sets how many
  // tracks an offset needs.
  explicit OffsetSearch(int checkableTracks);

  // window: kOffsetWindowSamples stereo samples as 32-bit little-endian words, the first one
  // kOffsetSearchSamples before the track's sector 450. entries: the database's entries for
  // this track, one per pressing.
  void AddTrack(const quint32* window, const std::vector<DbarTrack>& entries);
  OffsetSearchResult Result() const;

 private:
  int tracksNeeded_;
  std::vector<int> weights_;  // by offset + kOffsetSearchSamples
  std::vector<int> tracks_;
};

// Audio tracks of disc long enough to hold the checksum sector.
int CheckableTrackCount(const DiscLayout& disc);

// Reads each checkable track's window from drive and weighs it against lookup's pressings.
OffsetSearchResult SearchReadOffset(const CdDrive& drive, const DiscLayout& disc,
                                    const AccurateRipLookup& lookup);

}  // namespace trackmill
