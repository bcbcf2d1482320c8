#include "verify/ctdb/CtdbStreamSums.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "verify/ctdb/Crc32.h"
#include "verify/ctdb/GaloisField.h"
#include "verify/ctdb/ReedSolomon.h"

namespace trackmill::ctdb {
namespace {

// The feedback word times every generator tap, split by its low and high byte so that one
// word costs two table rows instead of sixteen field multiplications.
struct FeedbackTables {
  alignas(32) uint16_t low[256][kMaxSyndromes];
  alignas(32) uint16_t high[256][kMaxSyndromes];
  // alpha^(-i(k+1)) as logarithms, for turning check symbols into syndromes.
  uint32_t checkToSyndromeLog[kMaxSyndromes][kMaxSyndromes];
};

const FeedbackTables& Tables() {
  static const FeedbackTables tables = [] {
    FeedbackTables made{};
    const GaloisField& field = GaloisField::Audio();
    const std::vector<uint32_t> taps = GeneratorTaps(field, kMaxSyndromes);
    for (uint32_t byte = 0; byte < 256; ++byte)
      for (int i = 0; i < kMaxSyndromes; ++i) {
        made.low[byte][i] = uint16_t(field.Multiply(byte, taps[i]));
        made.high[byte][i] = uint16_t(field.Multiply(byte << 8, taps[i]));
      }
    for (int i = 0; i < kMaxSyndromes; ++i)
      for (int k = 0; k < kMaxSyndromes; ++k)
        made.checkToSyndromeLog[i][k] = field.Log(field.AlphaPower(-int64_t(i) * (k + 1)));
    return made;
  }();
  return tables;
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
  const qint64 pregapBytes = 4 * pregapSamples_;
  for (int k = 0; k < toc.AudioTrackCount(); ++k) {
    TrackRange range{4 * toc.TrackBeginSample(k), 4 * toc.TrackEndSample(k), 0};
    if (k == 0) range.beginByte = pregapBytes + 2 * kStrideWords;
    if (k + 1 == toc.AudioTrackCount())
      range.endByte = 4 * streamSamples_ - 2 * lastStrideWords_;
    range.endByte = std::max(range.endByte, range.beginByte);
    trackRanges_.push_back(range);
  }
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
  const qint64 end = begin + count;
  auto update = [&](qint64 from, qint64 to, uint32_t& crc) {
    from = std::max(from, begin);
    to = std::min(to, end);
    if (from < to) crc = Crc32Update(crc, bytes + (from - begin), size_t(to - from));
  };
  for (TrackRange& range : trackRanges_) update(range.beginByte, range.endByte, range.crc);
  const qint64 audioByte = 4 * pregapSamples_;
  update(audioByte + 2 * headWords_, audioByte + 2 * tailBegin_, middleCrc_);
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
    Protect(words + (protectedBegin - first), protectedEnd - protectedBegin,
            int(protectedBegin % kStrideWords));
}

void CtdbStreamSums::Protect(const uint16_t* words, qint64 count, int column) {
  const FeedbackTables& tables = Tables();
  uint16_t* reg = registers_.data() + size_t(column) * kMaxSyndromes;
  uint16_t* const end = registers_.data() + registers_.size();
  for (qint64 i = 0; i < count; ++i) {
    const uint16_t feedback = words[i] ^ reg[0];
    const uint16_t* low = tables.low[feedback & 0xFF];
    const uint16_t* high = tables.high[feedback >> 8];
    uint16_t shifted[kMaxSyndromes];
    std::memcpy(shifted, reg + 1, sizeof(uint16_t) * (kMaxSyndromes - 1));
    shifted[kMaxSyndromes - 1] = 0;
    for (int k = 0; k < kMaxSyndromes; ++k) reg[k] = shifted[k] ^ low[k] ^ high[k];
    reg += kMaxSyndromes;
    if (reg == end) reg = registers_.data();
  }
}

bool CtdbStreamSums::Finish() {
  if (finished_) return wordsSeen_ == 2 * streamSamples_;
  finished_ = true;
  const FeedbackTables& tables = Tables();
  const GaloisField& field = GaloisField::Audio();
  syndromes_.assign(kStrideWords, ColumnSyndromes{});
  for (int column = 0; column < kStrideWords; ++column) {
    const uint16_t* checks = registers_.data() + size_t(column) * kMaxSyndromes;
    for (int i = 0; i < kMaxSyndromes; ++i) {
      uint32_t value = 0;
      for (int k = 0; k < kMaxSyndromes; ++k)
        if (checks[k] != 0)
          value ^= field.AlphaPower(int64_t(field.Log(checks[k])) + tables.checkToSyndromeLog[i][k]);
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
  const qint64 begin = kStrideWords - 2 * qint64(offsetSamples);
  const qint64 end = qint64(kStrideWords) * (strideCount_ + 1) - 2 * qint64(offsetSamples);
  auto bytesOf = [](const std::vector<uint16_t>& words, qint64 from, qint64 to, uint32_t crc) {
    for (qint64 w = from; w < to; ++w) {
      uint8_t pair[2];
      qToLittleEndian(words[size_t(w)], pair);
      crc = Crc32Update(crc, pair, 2);
    }
    return crc;
  };
  uint32_t crc = bytesOf(head_, begin, std::min(end, headWords_), 0);
  qint64 from = headWords_;
  if (end > headWords_ && tailBegin_ > headWords_) {
    crc = Crc32Combine(crc, middleCrc_, uint64_t(2 * (tailBegin_ - headWords_)));
    from = tailBegin_;
  }
  from = std::max(from, begin);
  if (end > from) crc = bytesOf(tail_, from - tailBegin_, end - tailBegin_, crc);
  return crc;
}

}  // namespace trackmill::ctdb
