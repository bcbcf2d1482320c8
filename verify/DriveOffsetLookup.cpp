#include "verify/DriveOffsetLookup.h"

#include "common/HttpGet.h"

namespace trackmill {
namespace {

// The list holds a few thousand drives; this leaves it room to grow many times over.
constexpr qsizetype kMaxListBytes = 8 * 1024 * 1024;

}  // namespace

DriveOffsetLookup LookUpDriveOffset(const AccurateRipServer& server, const QString& vendor, const QString& model) {
  HttpRequest request;
  request.url = AccurateRipUrl(server.hostPort, QStringLiteral("DriveOffsets.bin"));
  request.connectTimeoutMs = server.connectTimeoutMs;
  request.requestTimeoutMs = server.requestTimeoutMs;
  request.maxBodyBytes = kMaxListBytes;
  const HttpResult result = HttpGetBounded(request);
  DriveOffsetLookup lookup;
  if (result.outcome == HttpResult::Outcome::Truncated) {
    lookup.outcome = DriveOffsetLookup::Outcome::Unreadable;
    lookup.detail = QStringLiteral("the list is too large");
    return lookup;
  }
  if (result.outcome != HttpResult::Outcome::Ok) {
    lookup.detail = result.detail;
    return lookup;
  }
  const std::vector<DriveOffsetEntry> list = ReadDriveOffsetList(result.body);
  if (list.empty()) {
    lookup.outcome = DriveOffsetLookup::Outcome::Unreadable;
    lookup.detail = QStringLiteral("the list holds no whole record");
    return lookup;
  }
  const std::optional<DriveOffsetEntry> entry = FindDriveOffset(list, vendor, model);
  if (!entry) {
    lookup.outcome = DriveOffsetLookup::Outcome::NotListed;
    return lookup;
  }
  lookup.outcome = DriveOffsetLookup::Outcome::Found;
  lookup.entry = *entry;
  return lookup;
}

}  // namespace trackmill
