#include "verify/ctdb/CtdbVerification.h"

#include <algorithm>

namespace trackmill::ctdb {
namespace {

constexpr int kParitySteps[] = {4, 8, 16};
constexpr int kTrackOffsetSamples = 5 * 588 - 1;

// Fetches the parity and decodes with 4, 8, then 16 rows until a plan is confirmed.
void TryRepair(CtdbEntryVerdict& verdict, const CtdbStreamSums& sums, const CtdbServer& server) {
  const CtdbEntry& entry = verdict.entry;
  const auto url = ParityFileUrl(entry.parityUrl, server.hostPort);
  if (!url) {
    verdict.kind = CtdbEntryVerdict::Kind::NotRepairable;
    verdict.detail = QStringLiteral("parity address refused");
    return;
  }
  const int maxRows = std::min(entry.npar, kMaxSyndromes);
  ParityDownload download(*url, maxRows, server);
  int decodedRows = 0;
  for (int step : kParitySteps) {
    if (decodedRows >= maxRows) break;
    if (!download.FetchRows(std::min(step, maxRows))) {
      verdict.kind = CtdbEntryVerdict::Kind::CouldNotVerify;
      verdict.detail = download.Failure();
      return;
    }
    // A server that sent the whole file at once leaves nothing to fetch in later steps.
    const int rows = download.RowCount();
    if (rows <= decodedRows) continue;
    decodedRows = rows;
    const std::vector<uint16_t> parity = download.Rows();
    const int known = std::min<int>(rows, int(entry.syndromes.size()));
    for (int i = 0; i < known; ++i)
      if (parity[size_t(i) * kStrideWords] != entry.syndromes[size_t(i)]) {
        verdict.kind = CtdbEntryVerdict::Kind::CouldNotVerify;
        verdict.detail = QStringLiteral("parity file conflicts with the entry");
        return;
      }
    verdict.repair = PlanRepair(sums, verdict.offsetSamples, parity, rows, entry.crc);
    if (verdict.repair.repairable) {
      verdict.kind = CtdbEntryVerdict::Kind::Repairable;
      return;
    }
  }
  verdict.kind = CtdbEntryVerdict::Kind::NotRepairable;
  verdict.detail = verdict.repair.failure;
}

}  // namespace

const CtdbEntryVerdict* CtdbVerdict::BestRepair() const {
  const CtdbEntryVerdict* best = nullptr;
  for (const CtdbEntryVerdict& verdict : entries)
    if (verdict.kind == CtdbEntryVerdict::Kind::Repairable &&
        (!best || verdict.repair.corrections.size() < best->repair.corrections.size()))
      best = &verdict;
  return best;
}

CtdbVerdict VerifyWithCtdb(const CtdbToc& toc, const CtdbStreamSums& sums,
                           const CtdbLookup& lookup, bool repair, const CtdbServer& server) {
  CtdbVerdict result;
  result.lookup = lookup.outcome;
  result.lookupDetail = lookup.detail;
  result.tocId = toc.Id();
  result.trackConfidence.assign(size_t(toc.AudioTrackCount()), 0);
  for (const CtdbEntry& entry : lookup.entries) {
    CtdbEntryVerdict verdict;
    verdict.entry = entry;
    result.totalConfidence += entry.confidence;
    const auto theirs = CtdbToc::Parse(entry.toc);
    if (!theirs || theirs->AudioSamples() != toc.AudioSamples() ||
        entry.strideSamples != kStrideSamples || !sums.Checkable()) {
      verdict.kind = CtdbEntryVerdict::Kind::DifferentLength;
      result.entries.push_back(std::move(verdict));
      continue;
    }
    const OffsetMatch match = FindOffset(sums, entry.syndromes, entry.crc);
    verdict.offsetSamples = match.offsetSamples;
    if (!match.found) {
      verdict.kind = CtdbEntryVerdict::Kind::NoMatch;
    } else if (!match.hasErrors) {
      verdict.kind = CtdbEntryVerdict::Kind::Verified;
    } else if (repair && !entry.parityUrl.isEmpty()) {
      TryRepair(verdict, sums, server);
    } else {
      verdict.kind = CtdbEntryVerdict::Kind::NotRepairable;
      verdict.detail = entry.parityUrl.isEmpty() ? QStringLiteral("no parity")
                                                 : QStringLiteral("repair not asked for");
    }
    const bool unrepaired = verdict.kind == CtdbEntryVerdict::Kind::NotRepairable ||
                            verdict.kind == CtdbEntryVerdict::Kind::CouldNotVerify ||
                            verdict.kind == CtdbEntryVerdict::Kind::NoMatch;
    if (unrepaired && int(entry.trackCrcs.size()) == toc.AudioTrackCount()) {
      // Track by track: at the entry's offset, else at any offset within five sectors.
      for (int k = 0; k < toc.AudioTrackCount(); ++k) {
        const uint32_t theirs = entry.trackCrcs[size_t(k)];
        bool matches = sums.TrackCrc(k, verdict.offsetSamples) == theirs;
        for (int offset = -kTrackOffsetSamples; !matches && offset <= kTrackOffsetSamples; ++offset)
          matches = sums.TrackCrc(k, offset) == theirs;
        verdict.trackMatches.push_back(matches);
      }
    }
    result.entries.push_back(std::move(verdict));
  }

  for (const CtdbEntryVerdict& verdict : result.entries) {
    const int confidence = verdict.entry.confidence;
    if (verdict.kind == CtdbEntryVerdict::Kind::Verified && verdict.entry.toc == toc.Text())
      result.discConfidence += confidence;
    for (int k = 0; k < toc.AudioTrackCount(); ++k) {
      bool counts = verdict.kind == CtdbEntryVerdict::Kind::Verified;
      if (verdict.kind == CtdbEntryVerdict::Kind::Repairable) {
        // Corrections and track bounds both as words from the stream's start, pregap included.
        const qint64 begin = 2 * toc.TrackBeginSample(k), end = 2 * toc.TrackEndSample(k);
        counts = std::none_of(verdict.repair.corrections.begin(), verdict.repair.corrections.end(),
                              [&](const WordCorrection& c) { return c.streamWord >= begin && c.streamWord < end; });
      }
      if (!verdict.trackMatches.empty()) counts = verdict.trackMatches[size_t(k)];
      if (counts) result.trackConfidence[size_t(k)] += confidence;
    }
  }
  return result;
}

QString EntryText(const CtdbEntryVerdict& verdict) {
  const int confidence = verdict.entry.confidence;
  switch (verdict.kind) {
    case CtdbEntryVerdict::Kind::Verified:
      return QStringLiteral("verified (confidence %1)").arg(confidence);
    case CtdbEntryVerdict::Kind::Repairable:
      return QStringLiteral("differs in %1 samples (confidence %2), repairable")
          .arg(verdict.repair.corrections.size())
          .arg(confidence);
    case CtdbEntryVerdict::Kind::NotRepairable:
      return QStringLiteral("differs (confidence %1), not repairable: %2").arg(confidence).arg(verdict.detail);
    case CtdbEntryVerdict::Kind::NoMatch:
      return QStringLiteral("no match");
    case CtdbEntryVerdict::Kind::DifferentLength:
      return QStringLiteral("different audio length");
    case CtdbEntryVerdict::Kind::CouldNotVerify:
      return QStringLiteral("could not be verified: %1").arg(verdict.detail);
  }
  return {};
}

QString LookupText(const CtdbVerdict& verdict) {
  switch (verdict.lookup) {
    case CtdbLookup::Outcome::Found:
      return QStringLiteral("found %1 entries").arg(verdict.entries.size());
    case CtdbLookup::Outcome::NotInDatabase:
      return QStringLiteral("not in database");
    case CtdbLookup::Outcome::Unreachable:
      return QStringLiteral("database not reachable (%1)").arg(verdict.lookupDetail);
    case CtdbLookup::Outcome::Unreadable:
      return QStringLiteral("database reply unreadable (%1)").arg(verdict.lookupDetail);
  }
  return {};
}

}  // namespace trackmill::ctdb
