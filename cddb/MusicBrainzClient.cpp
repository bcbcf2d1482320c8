#include "cddb/MusicBrainzClient.h"

#include <QThread>
#include <QUrl>
#include <chrono>
#include <mutex>

#include "common/HttpGet.h"
#include "common/AppInfo.h"

namespace trackmill {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRequestSpacing = std::chrono::milliseconds(1000);
constexpr qsizetype kMaxReplyBytes = 4 * 1024 * 1024;
constexpr qsizetype kMaxCoverBytes = 8 * 1024 * 1024;
constexpr long kMaxCoverRedirects = 5;
constexpr char kIncludes[] = "inc=artist-credits+recordings+genres&fmt=json";

std::mutex g_turnLock;
Clock::time_point g_lastRequest;  // guarded by g_turnLock
bool g_anyRequest = false;        // guarded by g_turnLock

// Holds the caller until a second has passed since the previous request of the process.
void WaitForTurn() {
  std::lock_guard lock(g_turnLock);
  if (g_anyRequest) std::this_thread::sleep_until(g_lastRequest + kRequestSpacing);
  g_lastRequest = Clock::now();
  g_anyRequest = true;
}

HttpRequest RequestFor(const QByteArray& url, const MusicBrainzServers& servers, qsizetype maxBytes) {
  HttpRequest request;
  request.url = url;
  request.connectTimeoutMs = servers.connectTimeoutMs;
  request.requestTimeoutMs = servers.requestTimeoutMs;
  request.maxBodyBytes = maxBytes;
  request.userAgent = MusicBrainzUserAgent(servers.contact);
  request.cancel = servers.cancel;
  return request;
}

HttpResult GetWithRetry(const QByteArray& url, const MusicBrainzServers& servers) {
  WaitForTurn();
  HttpResult result = HttpGetBounded(RequestFor(url, servers, kMaxReplyBytes));
  if (result.outcome == HttpResult::Outcome::HttpError && result.httpStatus == 503) {
    WaitForTurn();
    result = HttpGetBounded(RequestFor(url, servers, kMaxReplyBytes));
  }
  return result;
}

QString FailureText(const HttpResult& result) {
  switch (result.outcome) {
    case HttpResult::Outcome::TimedOut:
      return QStringLiteral("The MusicBrainz server did not answer in time.");
    case HttpResult::Outcome::Cancelled:
      return QStringLiteral("The query was stopped.");
    case HttpResult::Outcome::Truncated:
      return QStringLiteral("The MusicBrainz reply is too large.");
    case HttpResult::Outcome::HttpError:
      return result.httpStatus == 503
                 ? QStringLiteral("The MusicBrainz server is busy (HTTP 503); try again later.")
                 : QStringLiteral("The MusicBrainz server refused the request (HTTP %1).")
                       .arg(result.httpStatus);
    default:
      return QStringLiteral("The MusicBrainz server could not be reached (%1).").arg(result.detail);
  }
}

}  // namespace

QByteArray MusicBrainzUserAgent(const QString& contact) {
  QByteArray agent = QByteArray(kAppTitle) + '/' + kAppVersion;
  const QString trimmed = contact.trimmed();
  if (!trimmed.isEmpty()) agent += " ( " + trimmed.toUtf8() + " )";
  return agent;
}

QString ServerBaseUrl(const QString& setting) {
  QString text = setting.trimmed();
  if (!text.contains(QLatin1String("://"))) text.prepend(QLatin1String("https://"));
  const QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty() ||
      (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
    return {};
  while (text.endsWith(u'/')) text.chop(1);
  return text;
}

MusicBrainzLookup LookUpMusicBrainz(const MusicBrainzToc& toc, const MusicBrainzServers& servers) {
  MusicBrainzLookup lookup;
  const QString base = ServerBaseUrl(servers.server);
  if (base.isEmpty()) {
    lookup.error = QStringLiteral("The MusicBrainz server \"%1\" is not an http or https URL.").arg(servers.server);
    return lookup;
  }
  if (toc.discId.isEmpty()) {
    lookup.error = QStringLiteral("The table of contents of the disc cannot be looked up.");
    return lookup;
  }
  const QByteArray root = base.toUtf8() + "/ws/2/discid/";
  HttpResult result = GetWithRetry(root + toc.discId.toLatin1() + '?' + kIncludes, servers);
  if (result.outcome == HttpResult::Outcome::HttpError && result.httpStatus == 404) {
    lookup.fuzzy = true;
    result = GetWithRetry(root + "-?toc=" + toc.tocText.toLatin1() + '&' + kIncludes, servers);
    if (result.outcome == HttpResult::Outcome::HttpError && result.httpStatus == 404) {
      lookup.outcome = MusicBrainzLookup::Outcome::NotFound;
      return lookup;
    }
  }
  if (result.outcome != HttpResult::Outcome::Ok) {
    lookup.error = FailureText(result);
    return lookup;
  }
  const int trackCount = toc.lastTrack - toc.firstTrack + 1;
  MusicBrainzReply reply = ParseMusicBrainzReply(result.body, toc.discId, trackCount);
  if (!reply.valid) {
    lookup.error = QStringLiteral("The MusicBrainz server sent a reply that is not a disc lookup reply.");
    return lookup;
  }
  lookup.releases = std::move(reply.releases);
  lookup.outcome = lookup.releases.empty() ? MusicBrainzLookup::Outcome::NotFound
                                           : MusicBrainzLookup::Outcome::Found;
  return lookup;
}

CoverFetch FetchFrontCover(const QString& releaseId, const MusicBrainzServers& servers) {
  CoverFetch fetch;
  const QString base = ServerBaseUrl(servers.coverArtServer);
  if (base.isEmpty()) {
    fetch.note = QStringLiteral("the cover art server \"%1\" is not an http or https URL").arg(servers.coverArtServer);
    return fetch;
  }
  HttpRequest request = RequestFor(base.toUtf8() + "/release/" + QUrl::toPercentEncoding(releaseId) +
                                       "/front-500",
                                   servers, kMaxCoverBytes);
  request.maxRedirects = kMaxCoverRedirects;
  HttpResult result = HttpGetBounded(request);
  if (result.outcome == HttpResult::Outcome::HttpError && result.httpStatus == 404) {
    fetch.note = QStringLiteral("the release has no front cover");
  } else if (result.outcome != HttpResult::Outcome::Ok) {
    fetch.note = QStringLiteral("the cover could not be fetched: %1").arg(FailureText(result));
  } else if (!result.body.startsWith("\xFF\xD8\xFF")) {
    fetch.note = QStringLiteral("the cover is not a JPEG image");
  } else {
    fetch.jpeg = std::move(result.body);
  }
  return fetch;
}

}  // namespace trackmill
