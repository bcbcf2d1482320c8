#pragma once
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "verify/ctdb/CtdbToc.h"

// Everything the parity database needs of a rip, from one pass over its audio: the syndromes
// of all 11760 columns (section "columns" below), the disc CRC and the track CRCs, and the
// first two and last rows of the audio, from which the syndromes and the CRC at any offset
// within +-5879 samples follow without a second pass.
//
// Columns: the audio from INDEX 01 of the first audio track is cut into rows of 11760 16-bit
// words (5880 stereo samples); word c of rows 1 ... n is column c's codeword, n the stride
// count. Row 0 and the last 11760 ... 23518 words are not protected.
//
// Memory stays flat in the disc's length: 376 KB of shift registers, at most 2.6 MB of edge
// rows and 47 KB of CRC values around each track bound. Feed the stream (16-bit stereo little-endian PCM from the stream's start, pregap
// included) with Add in any pieces, then Finish once; the queries are valid after Finish.
// One owner, any thread.
namespace trackmill::ctdb {

inline constexpr int kStrideWords = 11760;
inline constexpr int kStrideSamples = kStrideWords / 2;
inline constexpr int kMaxSyndromes = 16;
inline constexpr int kMaxOffsetSamples = kStrideSamples - 1;

using ColumnSyndromes = std::array<uint16_t, kMaxSyndromes>;

class CtdbStreamSums {
 public:
  explicit CtdbStreamSums(const CtdbToc& toc);

  // False for a disc too short to check (fewer than 3 rows after INDEX 01).
  bool Checkable() const { return strideCount_ >= 1; }

  void Add(const uint8_t* pcm, size_t bytes);
  // True when exactly the stream's length was added.
  bool Finish();

  int StrideCount() const { return strideCount_; }          // n
  qint64 LastStrideWords() const { return lastStrideWords_; }  // LAST
  qint64 PregapSamples() const { return pregapSamples_; }     // P
  qint64 StreamSamples() const { return streamSamples_; }     // T

  // S_0(c) ... S_15(c) of our audio as read (shift 0).
  const ColumnSyndromes& Syndromes(int column) const { return syndromes_[column]; }
  // The syndromes of column c read `shiftSamples` samples further on: the reference's view when
  // the reference's sample q is our sample q + shift. |shiftSamples| <= 5879.
  ColumnSyndromes ShiftedSyndromes(int column, int shiftSamples) const;

  // The disc CRC of our audio against a reference whose sample q is our sample q + offset,
  // i.e. our samples [P + 5880 - offset, T - LAST/2 - offset). |offset| <= 5879.
  uint32_t DiscCrc(int offsetSamples) const;
  // Audio track k's CRC (the first track without its first 5880 samples after INDEX 01, the
  // last without the disc's last LAST/2 samples), at an offset as DiscCrc's, |offset| <= 5879.
  uint32_t TrackCrc(int k, int offsetSamples = 0) const;

  // Word `rowWord` words after INDEX 01 of the first audio track, when it lies in the first two
  // rows or the last rows the object keeps.
  uint16_t EdgeWord(qint64 rowWord) const;

 private:
  struct Window {
    qint64 firstByte = 0;  // the stream's CRC up to every sample in [firstByte, lastByte]
    qint64 lastByte = 0;
    std::vector<uint32_t> crcs;
  };

  void AddWords(const uint16_t* words, qint64 count);
  void Protect(const uint16_t* words, qint64 count, qint64 firstRowWord);
  void AddToCrcs(const uint8_t* bytes, qint64 begin, qint64 count);
  std::optional<uint32_t> CrcUpTo(qint64 byte) const;
  uint32_t RangeCrc(qint64 beginByte, qint64 endByte) const;

  qint64 pregapSamples_ = 0;
  qint64 streamSamples_ = 0;
  int strideCount_ = 0;
  qint64 lastStrideWords_ = 0;
  qint64 headWords_ = 0;   // words after INDEX 01 kept from the start
  qint64 tailBegin_ = 0;   // first word after INDEX 01 kept at the end

  qint64 wordsSeen_ = 0;   // stream words added so far
  uint8_t pendingByte_ = 0;
  bool hasPendingByte_ = false;
  bool finished_ = false;

  std::vector<uint16_t> registers_;  // kMaxSyndromes per column: its RS(16) check symbols, rotated
  std::vector<uint16_t> head_;
  std::vector<uint16_t> tail_;
  std::vector<ColumnSyndromes> syndromes_;
  qint64 crcBeginByte_ = 0;  // the disc CRC's range at offset 0, in stream bytes
  qint64 crcEndByte_ = 0;
  qint64 crcBytesSeen_ = 0;
  uint32_t runningCrc_ = 0;
  std::vector<Window> windows_;          // rising, around every track bound
  size_t nextWindow_ = 0;
  std::vector<std::pair<qint64, qint64>> trackBounds_;  // each audio track's CRC range
};

}  // namespace trackmill::ctdb
