#include "verify/OffsetSearch.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "cd/DiscSamples.h"

namespace trackmill {
namespace {

constexpr int kOffsetCount = 2 * kOffsetSearchSamples + 1;

bool HoldsChecksumSector(const DiscTrack& track) { return !track.data && track.Frames() > kChecksumSector + 1; }

// The entries that can be matched, by checksum, with the confidences of equal ones summed.
std::vector<std::pair<quint32, int>> Evidence(const std::vector<DbarTrack>& entries) {
  std::vector<std::pair<quint32, int>> evidence;
  for (const DbarTrack& entry : entries)
    if (entry.frame450 != 0 && entry.confidence > 0) evidence.emplace_back(entry.frame450, entry.confidence);
  std::sort(evidence.begin(), evidence.end());
  std::vector<std::pair<quint32, int>> merged;
  for (const auto& [checksum, confidence] : evidence) {
    if (!merged.empty() && merged.back().first == checksum)
      merged.back().second += confidence;
    else
      merged.emplace_back(checksum, confidence);
  }
  return merged;
}

int ConfidenceOf(const std::vector<std::pair<quint32, int>>& evidence, quint32 checksum) {
  const auto at = std::lower_bound(evidence.begin(), evidence.end(), std::pair<quint32, int>(checksum, 0));
  return at != evidence.end() && at->first == checksum ? at->second : 0;
}

}  // namespace

OffsetSearch::OffsetSearch(int checkableTracks)
    : tracksNeeded_(std::clamp(checkableTracks, 1, kOffsetTracksNeeded)),
      weights_(kOffsetCount, 0),
      tracks_(kOffsetCount, 0) {}

void OffsetSearch::AddTrack(const quint32* window, const std::vector<DbarTrack>& entries) {
  const std::vector<std::pair<quint32, int>> evidence = Evidence(entries);
  if (evidence.empty()) return;
  // The checksum at shift k is sum (i + 1) * window[k + i] over one sector; moving one sample on
  // takes the plain sum of the sector off and adds the new sample at the top weight, so every
  // shift costs a few operations rather than a sector's worth (all modulo 2^32, as the sum is).
  quint32 checksum = 0;
  quint32 plainSum = 0;
  for (int i = 0; i < kSamplesPerSector; ++i) {
    checksum += window[i] * quint32(i + 1);
    plainSum += window[i];
  }
  for (int k = 0; k < kOffsetCount; ++k) {
    if (const int confidence = ConfidenceOf(evidence, checksum); confidence > 0) {
      weights_[size_t(k)] += confidence;
      ++tracks_[size_t(k)];
    }
    if (k + 1 == kOffsetCount) break;
    const quint32 incoming = window[k + kSamplesPerSector];
    checksum += incoming * quint32(kSamplesPerSector) - plainSum;
    plainSum += incoming - window[k];
  }
}

OffsetSearchResult OffsetSearch::Result() const {
  OffsetSearchResult result;
  result.tracksNeeded = tracksNeeded_;
  const auto candidate = [&](int k) {
    return OffsetCandidate{k - kOffsetSearchSamples, weights_[size_t(k)], tracks_[size_t(k)]};
  };
  // The heaviest offset, then the heaviest other one; among equals the one nearer to 0 comes
  // first, only so that a report names them in a steady order.
  const auto heavier = [&](int a, int b) {
    if (weights_[size_t(a)] != weights_[size_t(b)]) return weights_[size_t(a)] > weights_[size_t(b)];
    return std::abs(a - kOffsetSearchSamples) < std::abs(b - kOffsetSearchSamples);
  };
  int best = -1;
  int runnerUp = -1;
  int heaviestOfAll = -1;
  for (int k = 0; k < kOffsetCount; ++k) {
    if (weights_[size_t(k)] == 0) continue;
    if (heaviestOfAll < 0 || heavier(k, heaviestOfAll)) heaviestOfAll = k;
    if (tracks_[size_t(k)] < tracksNeeded_) continue;
    if (best < 0 || heavier(k, best)) {
      runnerUp = best;
      best = k;
    } else if (runnerUp < 0 || heavier(k, runnerUp)) {
      runnerUp = k;
    }
  }
  if (best < 0) {
    if (heaviestOfAll >= 0) result.best = candidate(heaviestOfAll);
    return result;
  }
  result.best = candidate(best);
  result.outcome = OffsetSearchResult::Outcome::Found;
  if (runnerUp < 0) return result;
  result.runnerUp = candidate(runnerUp);
  if (result.runnerUp.weight == result.best.weight)
    result.outcome = OffsetSearchResult::Outcome::Tie;
  else if (qint64(result.runnerUp.weight) * 100 >= qint64(result.best.weight) * kNearTiePercent)
    result.outcome = OffsetSearchResult::Outcome::NearTie;
  return result;
}

int CheckableTrackCount(const DiscLayout& disc) {
  return int(std::count_if(disc.tracks.begin(), disc.tracks.end(), HoldsChecksumSector));
}

OffsetSearchResult SearchReadOffset(const CdDrive& drive, const DiscLayout& disc,
                                    const AccurateRipLookup& lookup) {
  OffsetSearch search(CheckableTrackCount(disc));
  std::vector<uint8_t> sectors(size_t(kOffsetWindowSamples / kSamplesPerSector + 2) * kCDSectorBytes);
  std::vector<quint32> window(static_cast<size_t>(kOffsetWindowSamples));  // little-endian words, as on the disc
  int audioIndex = -1;
  for (size_t index = 0; index < disc.tracks.size(); ++index) {
    const DiscTrack& track = disc.tracks[index];
    if (track.data) continue;
    ++audioIndex;
    if (!HoldsChecksumSector(track)) continue;
    std::vector<DbarTrack> entries;
    for (const DbarPressing& pressing : lookup.pressings)
      if (audioIndex < int(pressing.tracks.size())) entries.push_back(pressing.tracks[size_t(audioIndex)]);
    if (Evidence(entries).empty()) continue;  // nothing to match: no need to read
    // Past the audio there is silence, as a rip reads it: the lead-out, or the session gap
    // before an enhanced CD's data track.
    const bool sessionGapFollows = disc.IsLastAudio(int(index)) && index + 1 < disc.tracks.size();
    const qint64 discSamples =
        qint64((sessionGapFollows ? track.endFrame : disc.leadOutFrame) - kLeadInSectors) * kSamplesPerSector;
    const qint64 sectorStart = qint64(track.startFrame - kLeadInSectors + kChecksumSector) * kSamplesPerSector;
    if (!ReadDiscSamples(drive, sectors, sectorStart - kOffsetSearchSamples, kOffsetWindowSamples, discSamples,
                         reinterpret_cast<char*>(window.data()))) {
      OffsetSearchResult failed;
      failed.readError = QStringLiteral("track %1 could not be read").arg(track.number);
      return failed;
    }
    search.AddTrack(window.data(), entries);
  }
  return search.Result();
}

}  // namespace trackmill
