#pragma once
#include <QString>
#include <cstdint>
#include <vector>

#include "verify/ctdb/CtdbStreamSums.h"

// Matching a rip with one pressing the database knows, and working out the corrections that
// turn the rip into that pressing's audio.
//
// FindOffset looks for the pressing within +-5879 samples of the rip through column 0 alone:
// the offset where the syndromes agree, else the one whose difference a locator of the lowest
// degree below m/2 explains. PlanRepair decodes every column at that offset against the
// pressing's parity and accepts the corrections only when they restore the pressing's disc
// CRC. Both read a finished CtdbStreamSums and change nothing; any thread.
namespace trackmill::ctdb {

struct OffsetMatch {
  bool found = false;
  int offsetSamples = 0;  // the reference's sample q is our sample q + offsetSamples
  bool hasErrors = false;  // our disc CRC at the offset differs from the reference's
};

// referenceColumn0: the pressing's S_0(0) ... S_(m-1)(0), m = 2 ... 16.
OffsetMatch FindOffset(const CtdbStreamSums& sums, const std::vector<uint16_t>& referenceColumn0,
                       uint32_t referenceCrc);

struct WordCorrection {
  qint64 streamWord = 0;  // word index from the stream's start (pregap included); sample = /2
  uint16_t mask = 0;      // XORed into the word
};

struct RepairPlan {
  bool repairable = false;
  QString failure;  // why not, for the log
  std::vector<WordCorrection> corrections;  // in rising order of streamWord
};

// parity: npar rows of 11760 syndromes each (row i holds S_i of every column), npar 2 ... 16.
RepairPlan PlanRepair(const CtdbStreamSums& sums, int offsetSamples,
                      const std::vector<uint16_t>& parity, int npar, uint32_t referenceCrc);

// XORs the corrections that fall into pcm, 16-bit stereo audio starting at stream byte
// streamByte, into it.
void ApplyCorrections(const std::vector<WordCorrection>& corrections, qint64 streamByte,
                      uint8_t* pcm, size_t bytes);

}  // namespace trackmill::ctdb
