#include "verify/AccurateRipLookup.h"

#include "common/HttpGet.h"

namespace trackmill {
namespace {

// Several hundred pressings of a full disc stay well below this.
constexpr qsizetype kMaxReplyBytes = 4 * 1024 * 1024;

}  // namespace

QByteArray AccurateRipUrl(const QString& hostPort, const QString& path) {
  QString host = hostPort.trimmed();
  if (!host.contains(QLatin1Char(':'))) host += QStringLiteral(":80");
  return ("http://" + host + "/accuraterip/" + path).toUtf8();
}

AccurateRipLookup SortDbarReply(const AccurateRipDiscId& disc, const QByteArray& body) {
  AccurateRipLookup lookup;
  if (body.isEmpty()) {
    lookup.outcome = AccurateRipLookup::Outcome::NotInDatabase;
    return lookup;
  }
  DbarReply reply = ReadDbar(body);
  for (DbarPressing& pressing : reply.pressings)
    if (pressing.trackCount == disc.audioTracks && pressing.id1 == disc.id1 && pressing.id2 == disc.id2 &&
        pressing.cddbId == disc.cddbId)
      lookup.pressings.push_back(std::move(pressing));
  if (lookup.pressings.empty()) {
    lookup.outcome = AccurateRipLookup::Outcome::Unreadable;
    lookup.detail = reply.droppedBytes > 0 ? QStringLiteral("the reply is cut short")
                                           : QStringLiteral("the reply does not describe this disc");
    return lookup;
  }
  lookup.outcome = AccurateRipLookup::Outcome::Found;
  return lookup;
}

AccurateRipLookup LookUpAccurateRip(const AccurateRipDiscId& disc, const AccurateRipServer& server) {
  HttpRequest request;
  request.url = AccurateRipUrl(server.hostPort, disc.DatabasePath());
  request.connectTimeoutMs = server.connectTimeoutMs;
  request.requestTimeoutMs = server.requestTimeoutMs;
  request.maxBodyBytes = kMaxReplyBytes;
  const HttpResult result = HttpGetBounded(request);
  AccurateRipLookup lookup;
  switch (result.outcome) {
    case HttpResult::Outcome::Ok:
      return SortDbarReply(disc, result.body);
    case HttpResult::Outcome::HttpError:
      if (result.httpStatus == 404) {
        lookup.outcome = AccurateRipLookup::Outcome::NotInDatabase;
        return lookup;
      }
      break;
    case HttpResult::Outcome::Truncated:
      lookup.outcome = AccurateRipLookup::Outcome::Unreadable;
      lookup.detail = QStringLiteral("the reply is too large");
      return lookup;
    default:
      break;
  }
  lookup.outcome = AccurateRipLookup::Outcome::Unreachable;
  lookup.detail = result.detail;
  return lookup;
}

AccurateRipVerdict JudgeTrack(const AccurateRipLookup& lookup, int audioIndex,
                              const AccurateRipChecksums& sums) {
  AccurateRipVerdict verdict;
  switch (lookup.outcome) {
    case AccurateRipLookup::Outcome::Unreachable:
    case AccurateRipLookup::Outcome::Unreadable:
      return verdict;
    case AccurateRipLookup::Outcome::NotInDatabase:
      verdict.kind = AccurateRipVerdict::Kind::NotInDatabase;
      return verdict;
    case AccurateRipLookup::Outcome::Found:
      break;
  }
  if (!sums.valid) {
    verdict.kind = AccurateRipVerdict::Kind::NotChecked;
    return verdict;
  }
  bool known = false;
  verdict.kind = AccurateRipVerdict::Kind::NotAccurate;
  for (const DbarPressing& pressing : lookup.pressings) {
    if (audioIndex < 0 || audioIndex >= int(pressing.tracks.size())) continue;
    const DbarTrack& entry = pressing.tracks[size_t(audioIndex)];
    if (entry.confidence == 0) continue;
    known = true;
    const int version = entry.checksum == sums.v2 ? 2 : entry.checksum == sums.v1 ? 1 : 0;
    if (version != 0 && entry.confidence > verdict.confidence) {
      verdict.kind = AccurateRipVerdict::Kind::Accurate;
      verdict.confidence = entry.confidence;
      verdict.version = version;
    }
  }
  if (!known) verdict.kind = AccurateRipVerdict::Kind::NotInDatabase;
  return verdict;
}

QString VerdictText(const AccurateRipVerdict& verdict, AccurateRipLookup::Outcome outcome) {
  switch (verdict.kind) {
    case AccurateRipVerdict::Kind::Accurate:
      return QStringLiteral("accurately ripped (confidence %1, v%2)")
          .arg(verdict.confidence)
          .arg(verdict.version);
    case AccurateRipVerdict::Kind::NotAccurate:
      return QStringLiteral("not accurately ripped");
    case AccurateRipVerdict::Kind::NotInDatabase:
      return QStringLiteral("not in database");
    case AccurateRipVerdict::Kind::NotChecked:
      return QStringLiteral("not checked");
    case AccurateRipVerdict::Kind::NoAnswer:
      break;
  }
  return outcome == AccurateRipLookup::Outcome::Unreadable
             ? QStringLiteral("AccurateRip reply unreadable")
             : QStringLiteral("AccurateRip database not reachable");
}

}  // namespace trackmill
