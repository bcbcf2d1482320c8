#include "verify/ctdb/CtdbStreamSums.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <memory>

#include "verify/ctdb/Crc32.h"
#include "verify/ctdb/GaloisField.h"
#include "verify/ctdb/ReedSolomon.h"

namespace trackmill::ctdb {
namespace {

// The feedback word times every generator tap, split by its low and high byte so that one
// word costs two table rows instead of sixteen field multiplications. A column's register is
// kept rotated: after j words its logical element i sits at (i + j) mod 16, so the shift of the
// register costs nothing and one word is a plain 16-lane XOR. Every column of a row has the
// same rotation, hence a table set per rotation.
struct FeedbackTables {
  alignas(32) uint16_t low[kMaxSyndromes][256][kMaxSyndromes];
  alignas(32) uint16_t high[kMaxSyndromes][256][kMaxSyndromes];
  // All ones but the lane of the element shifted out, per rotation.
  alignas(32) uint16_t keep[kMaxSyndromes][kMaxSyndromes];
  // alpha^(-i(k+1)) as logarithms, for turning check symbols into syndromes.
  uint32_t checkToSyndromeLog[kMaxSyndromes][kMaxSyndromes];
};

const FeedbackTables& Tables() {
  static const std::unique_ptr<FeedbackTables> tables = [] {
    auto made = std::make_unique<FeedbackTables>();
    const GaloisField& field = GaloisField::Audio();
    const std::vector<uint32_t> taps = GeneratorTaps(field, kMaxSyndromes);
    for (int rotation = 0; rotation < kMaxSyndromes; ++rotation)
      for (uint32_t byte = 0; byte < 256; ++byte)
        for (int place = 0; place < kMaxSyndromes; ++place) {
          // After the shift, logical element i lives at rotation + 1 + i.
          const int tap = (place - rotation - 1 + 2 * kMaxSyndromes) % kMaxSyndromes;
          made->low[rotation][byte][place] = uint16_t(field.Multiply(byte, taps[tap]));
          made->high[rotation][byte][place] = uint16_t(field.Multiply(byte << 8, taps[tap]));
        }
    for (int rotation = 0; rotation < kMaxSyndromes; ++rotation)
      for (int place = 0; place < kMaxSyndromes; ++place)
        made->keep[rotation][place] = place == rotation ? 0 : 0xFFFF;
    for (int i = 0; i < kMaxSyndromes; ++i)
      for (int k = 0; k < kMaxSyndromes; ++k)
        made->checkToSyndromeLog[i][k] = field.Log(field.AlphaPower(-int64_t(i) * (k + 1)));
    return made;
  }();
  return *tables;
}

// Half a register: two of these are what any x86-64 or ARM64 processor XORs in one go each.
using Lanes = uint16_t __attribute__((vector_size(16)));
constexpr int kLanes = 8;

inline Lanes LoadLanes(const uint16_t* from) {
  Lanes lanes;
  std::memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

}  // namespace

CtdbStreamSums::CtdbStreamSums(const CtdbToc& toc)
    : pregapSamples_(toc.PregapSamples()), streamSamples_(toc.StreamSamples()) {
  const qint64 audioWords = 2 * (streamSamples_ - pregapSamples_);
  strideCount_ = int(std::max<qint64>(audioWords / kStrideWords - 2, 0));
  lastStrideWords_ = kStrideWords + audioWords % kStrideWords;
  headWords_ = std::min<qint64>(audioWords, 2 * kStrideWords);
  tailBegin_ = std::max<qint64>(audioWords - kStrideWords - lastStrideWords_, 0);
  registers_.assign(size_t(kStrideWords) * kMaxSyndromes, 0);
  head_.assign(size_t(headWords_), 0);
  tail_.assign(size_t(audioWords - tailBegin_), 0);
  // One running CRC over the whole stream; the CRC of any range follows from its values at
  // the range's bounds. It is kept at every sample within a stride of each track bound, for
  // the disc and track CRCs at any offset.
  const qint64 audioByte = 4 * pregapSamples_;
  const qint64 streamBytes = 4 * streamSamples_;
  crcBeginByte_ = audioByte + 2 * kStrideWords;
  crcEndByte_ = std::max(crcBeginByte_, audioByte + 2 * qint64(kStrideWords) * (strideCount_ + 1));
  for (int k = 0; k < toc.AudioTrackCount(); ++k)
    trackBounds_.push_back({k == 0 ? crcBeginByte_ : 4 * toc.TrackBeginSample(k),
                            k + 1 == toc.AudioTrackCount() ? crcEndByte_ : 4 * toc.TrackEndSample(k)});
  constexpr qint64 kReachBytes = 4 * qint64(kMaxOffsetSamples);
  for (size_t k = 0; k <= trackBounds_.size() && !trackBounds_.empty(); ++k) {
    const qint64 bound = k < trackBounds_.size() ? trackBounds_[k].first : trackBounds_.back().second;
    const qint64 first = std::max<qint64>(bound - kReachBytes, 0);
    const qint64 last = std::min(bound + kReachBytes, streamBytes);
    if (!windows_.empty() && first <= windows_.back().lastByte) {
      windows_.back().lastByte = std::max(windows_.back().lastByte, last);  // short tracks
    } else {
      windows_.push_back({first, last, {}});
    }
  }
  for (Window& window : windows_) window.crcs.assign(size_t((window.lastByte - window.firstByte) / 4 + 1), 0);
}

std::optional<uint32_t> CtdbStreamSums::CrcUpTo(qint64 byte) const {
  const auto window = std::upper_bound(windows_.begin(), windows_.end(), byte,
                                       [](qint64 b, const Window& w) { return b < w.firstByte; });
  if (window == windows_.begin()) return std::nullopt;
  const Window& found = *std::prev(window);
  if (byte > found.lastByte || (byte - found.firstByte) % 4 != 0) return std::nullopt;
  return found.crcs[size_t((byte - found.firstByte) / 4)];
}

uint32_t CtdbStreamSums::RangeCrc(qint64 beginByte, qint64 endByte) const {
  // Joining the prefix's CRC with the whole's removes the prefix.
  return Crc32Combine(CrcUpTo(beginByte).value_or(0), CrcUpTo(endByte).value_or(0),
                      uint64_t(std::max<qint64>(endByte - beginByte, 0)));
}

uint32_t CtdbStreamSums::TrackCrc(int k, int offsetSamples) const {
  return RangeCrc(trackBounds_[k].first - 4 * qint64(offsetSamples),
                  trackBounds_[k].second - 4 * qint64(offsetSamples));
}

void CtdbStreamSums::Add(const uint8_t* pcm, size_t bytes) {
  if (finished_ || bytes == 0) return;
  uint16_t words[4096];
  qint64 streamByte = 2 * wordsSeen_;
  if (hasPendingByte_) {
    const uint8_t pair[2] = {pendingByte_, pcm[0]};
    words[0] = qFromLittleEndian<uint16_t>(pair);
    AddToCrcs(pair, streamByte, 2);
    AddWords(words, 1);
    streamByte += 2;
    ++pcm;
    --bytes;
    hasPendingByte_ = false;
  }
  while (bytes >= 2) {
    const size_t count = std::min<size_t>(bytes / 2, std::size(words));
    for (size_t i = 0; i < count; ++i) words[i] = qFromLittleEndian<uint16_t>(pcm + 2 * i);
    AddToCrcs(pcm, streamByte, qint64(2 * count));
    AddWords(words, qint64(count));
    streamByte += qint64(2 * count);
    pcm += 2 * count;
    bytes -= 2 * count;
  }
  if (bytes == 1) {
    pendingByte_ = pcm[0];
    hasPendingByte_ = true;
  }
}

void CtdbStreamSums::AddToCrcs(const uint8_t* bytes, qint64 begin, qint64 count) {
  const qint64 end = std::min(begin + count, 4 * streamSamples_);
  qint64 at = std::max(begin, crcBytesSeen_);
  auto keep = [&] {
    while (nextWindow_ < windows_.size() && windows_[nextWindow_].lastByte < at) ++nextWindow_;
    if (nextWindow_ < windows_.size()) {
      Window& window = windows_[nextWindow_];
      if (at >= window.firstByte && (at - window.firstByte) % 4 == 0)
        window.crcs[size_t((at - window.firstByte) / 4)] = runningCrc_;
    }
  };
  while (at < end) {
    keep();
    qint64 stop = end;
    if (nextWindow_ < windows_.size()) {
      const Window& window = windows_[nextWindow_];
      stop = std::min(stop, at < window.firstByte ? window.firstByte
                                                  : at + 4 - (at - window.firstByte) % 4);
    }
    runningCrc_ = Crc32Update(runningCrc_, bytes + (at - begin), size_t(stop - at));
    at = stop;
  }
  crcBytesSeen_ = std::max(crcBytesSeen_, at);
  keep();
}

void CtdbStreamSums::AddWords(const uint16_t* words, qint64 count) {
  const qint64 pregapWords = 2 * pregapSamples_;
  const qint64 audioWords = 2 * (streamSamples_ - pregapSamples_);
  qint64 first = wordsSeen_ - pregapWords;  // the first word's place after INDEX 01
  wordsSeen_ += count;
  if (first < 0) {
    const qint64 skip = std::min(-first, count);
    words += skip;
    count -= skip;
    first += skip;
  }
  count = std::min(count, std::max<qint64>(audioWords - first, 0));
  if (count <= 0) return;
  const qint64 last = first + count;
  for (qint64 w = first; w < std::min(last, headWords_); ++w) head_[size_t(w)] = words[w - first];
  for (qint64 w = std::max(first, tailBegin_); w < last; ++w)
    tail_[size_t(w - tailBegin_)] = words[w - first];
  const qint64 protectedBegin = std::max<qint64>(first, kStrideWords);
  const qint64 protectedEnd = std::min<qint64>(last, qint64(kStrideWords) * (strideCount_ + 1));
  if (protectedBegin < protectedEnd)
    Protect(words + (protectedBegin - first), protectedEnd - protectedBegin, protectedBegin);
}

void CtdbStreamSums::Protect(const uint16_t* words, qint64 count, qint64 firstRowWord) {
  const FeedbackTables& tables = Tables();
  qint64 done = 0;
  while (done < count) {
    const qint64 rowWord = firstRowWord + done;
    const int column = int(rowWord % kStrideWords);
    const int rotation = int((rowWord / kStrideWords - 1) % kMaxSyndromes);
    const qint64 inRow = std::min<qint64>(count - done, kStrideWords - column);
    const auto& low = tables.low[rotation];
    const auto& high = tables.high[rotation];
    uint16_t* reg = registers_.data() + size_t(column) * kMaxSyndromes;
    const Lanes keepLow = LoadLanes(tables.keep[rotation]);
    const Lanes keepHigh = LoadLanes(tables.keep[rotation] + kLanes);
    const uint16_t* input = words + done;
    for (qint64 i = 0; i < inRow; ++i, reg += kMaxSyndromes) {
      // The element shifted out is masked off in the vector rather than stored as a zero
      // first: a narrow store under a wide load stalls the load.
      const uint16_t feedback = input[i] ^ reg[rotation];
      const uint16_t* lowRow = low[feedback & 0xFF];
      const uint16_t* highRow = high[feedback >> 8];
      const Lanes first = (LoadLanes(reg) & keepLow) ^ LoadLanes(lowRow) ^ LoadLanes(highRow);
      const Lanes second = (LoadLanes(reg + kLanes) & keepHigh) ^ LoadLanes(lowRow + kLanes) ^
                           LoadLanes(highRow + kLanes);
      std::memcpy(reg, &first, sizeof first);
      std::memcpy(reg + kLanes, &second, sizeof second);
    }
    done += inRow;
  }
}

bool CtdbStreamSums::Finish() {
  if (finished_) return wordsSeen_ == 2 * streamSamples_;
  finished_ = true;
  const FeedbackTables& tables = Tables();
  const GaloisField& field = GaloisField::Audio();
  syndromes_.assign(kStrideWords, ColumnSyndromes{});
  for (int column = 0; column < kStrideWords; ++column) {
    const uint16_t* reg = registers_.data() + size_t(column) * kMaxSyndromes;
    const int rotation = strideCount_ % kMaxSyndromes;
    for (int i = 0; i < kMaxSyndromes; ++i) {
      uint32_t value = 0;
      for (int k = 0; k < kMaxSyndromes; ++k) {
        const uint16_t check = reg[(k + rotation) % kMaxSyndromes];
        if (check != 0)
          value ^= field.AlphaPower(int64_t(field.Log(check)) + tables.checkToSyndromeLog[i][k]);
      }
      syndromes_[column][i] = uint16_t(value);
    }
  }
  registers_.clear();
  registers_.shrink_to_fit();
  return wordsSeen_ == 2 * streamSamples_ && !hasPendingByte_;
}

uint16_t CtdbStreamSums::EdgeWord(qint64 rowWord) const {
  if (rowWord >= 0 && rowWord < headWords_) return head_[size_t(rowWord)];
  if (rowWord >= tailBegin_ && rowWord - tailBegin_ < qint64(tail_.size()))
    return tail_[size_t(rowWord - tailBegin_)];
  return 0;
}

ColumnSyndromes CtdbStreamSums::ShiftedSyndromes(int column, int shiftSamples) const {
  const GaloisField& field = GaloisField::Audio();
  const int source = column + 2 * shiftSamples;
  if (source >= 0 && source < kStrideWords) return syndromes_[source];
  const int n = strideCount_;
  auto rowWord = [](int row, int col) { return qint64(row) * kStrideWords + col; };
  ColumnSyndromes shifted{};
  if (source >= kStrideWords) {
    // One row further down: drop row 1 at the top, take row n + 1 at the bottom.
    const int s = source - kStrideWords;
    const uint32_t dropped = EdgeWord(rowWord(1, s));
    const uint32_t added = EdgeWord(rowWord(n + 1, s));
    for (int i = 0; i < kMaxSyndromes; ++i)
      shifted[i] = uint16_t(field.Multiply(field.AlphaPower(i), syndromes_[s][i]) ^
                            field.Multiply(field.AlphaPower(int64_t(i) * n), dropped) ^ added);
  } else {
    // One row further up: take row 0 at the top, drop row n at the bottom.
    const int s = source + kStrideWords;
    const uint32_t added = EdgeWord(rowWord(0, s));
    const uint32_t dropped = EdgeWord(rowWord(n, s));
    for (int i = 0; i < kMaxSyndromes; ++i)
      shifted[i] = uint16_t(field.Multiply(
          field.AlphaPower(-i),
          syndromes_[s][i] ^ dropped ^ field.Multiply(field.AlphaPower(int64_t(i) * n), added)));
  }
  return shifted;
}

uint32_t CtdbStreamSums::DiscCrc(int offsetSamples) const {
  const qint64 shiftBytes = 4 * qint64(offsetSamples);
  return RangeCrc(crcBeginByte_ - shiftBytes, crcEndByte_ - shiftBytes);
}

}  // namespace trackmill::ctdb
