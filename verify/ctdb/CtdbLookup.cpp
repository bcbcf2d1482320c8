#include "verify/ctdb/CtdbLookup.h"

#include <QUrl>
#include <algorithm>

#include "common/HttpGet.h"

namespace trackmill::ctdb {
namespace {

HttpRequest RequestFor(QByteArray url, const CtdbServer& server) {
  HttpRequest request;
  request.url = std::move(url);
  request.connectTimeoutMs = server.connectTimeoutMs;
  request.requestTimeoutMs = server.requestTimeoutMs;
  request.cancel = server.cancel;
  return request;
}

QString FailureOf(const HttpResult& result) {
  if (result.outcome == HttpResult::Outcome::HttpError)
    return QStringLiteral("HTTP status %1").arg(result.httpStatus);
  if (result.outcome == HttpResult::Outcome::TimedOut) return QStringLiteral("timed out");
  if (result.outcome == HttpResult::Outcome::Cancelled) return QStringLiteral("cancelled");
  return result.detail;
}

}  // namespace

QByteArray CtdbLookupUrl(const QString& hostPort, const CtdbToc& toc) {
  return "http://" + hostPort.toUtf8() +
         "/lookup2.php?version=3&ctdb=1&fuzzy=1&metadata=none&toc=" + toc.Text().toLatin1();
}

CtdbLookup SortCtdbReply(const QByteArray& body) {
  CtdbLookup lookup;
  CtdbReply reply = ParseCtdbReply(body);
  if (!reply.readable) {
    lookup.outcome = CtdbLookup::Outcome::Unreadable;
    lookup.detail = reply.failure;
    return lookup;
  }
  lookup.entries = std::move(reply.entries);
  lookup.outcome = lookup.entries.empty() ? CtdbLookup::Outcome::NotInDatabase
                                          : CtdbLookup::Outcome::Found;
  return lookup;
}

CtdbLookup LookUpCtdb(const CtdbToc& toc, const CtdbServer& server) {
  HttpRequest request = RequestFor(CtdbLookupUrl(server.hostPort, toc), server);
  request.maxBodyBytes = kMaxReplyBytes;
  request.acceptCompressed = true;
  const HttpResult result = HttpGetBounded(request);
  CtdbLookup lookup;
  if (result.outcome == HttpResult::Outcome::HttpError && result.httpStatus == 404) {
    lookup.outcome = CtdbLookup::Outcome::NotInDatabase;
    return lookup;
  }
  if (result.outcome == HttpResult::Outcome::Truncated) {
    lookup.outcome = CtdbLookup::Outcome::Unreadable;
    lookup.detail = QStringLiteral("reply larger than %1 bytes").arg(kMaxReplyBytes);
    return lookup;
  }
  if (result.outcome != HttpResult::Outcome::Ok) {
    lookup.detail = FailureOf(result);
    return lookup;
  }
  return SortCtdbReply(result.body);
}

std::optional<QByteArray> ParityFileUrl(const QString& hasParity, const QString& hostPort) {
  if (hasParity.startsWith(QLatin1String("http://"))) {
    const QUrl url(hasParity, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    return url.toEncoded();
  }
  if (hasParity.startsWith(QLatin1Char('/')) && !hasParity.startsWith(QLatin1String("//"))) {
    const QUrl url(QStringLiteral("http://") + hostPort + hasParity, QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    return url.toEncoded();
  }
  return std::nullopt;
}

ParityDownload::ParityDownload(QByteArray url, int entryNpar, const CtdbServer& server)
    : url_(std::move(url)), entryRows_(std::clamp(entryNpar, 0, 16)), server_(server) {}

bool ParityDownload::FetchRows(int npar) {
  const int wanted = std::min(npar, entryRows_);
  if (wanted <= RowCount()) return wanted > 0;
  HttpRequest request = RequestFor(url_, server_);
  const qsizetype have = bytes_.size();
  const qsizetype need = qsizetype(wanted) * kParityRowBytes;
  const qsizetype whole = qsizetype(entryRows_) * kParityRowBytes;
  request.range = QByteArray::number(have) + '-' + QByteArray::number(need - 1);
  request.maxBodyBytes = whole;
  const HttpResult result = HttpGetBounded(request);
  if (result.outcome != HttpResult::Outcome::Ok) {
    failure_ = result.outcome == HttpResult::Outcome::Truncated
                   ? QStringLiteral("parity file longer than its %1 rows").arg(entryRows_)
                   : FailureOf(result);
    return false;
  }
  if (result.httpStatus == 206 && result.body.size() == need - have) {
    bytes_ += result.body;
  } else if (result.httpStatus == 200 && result.body.size() == whole) {
    bytes_ = result.body;
  } else {
    failure_ = QStringLiteral("parity file of the wrong length (%1 bytes)").arg(result.body.size());
    return false;
  }
  return true;
}

std::vector<uint16_t> ParityDownload::Rows() const {
  std::vector<uint16_t> rows(size_t(RowCount()) * (kParityRowBytes / 2));
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i] = uint16_t(uint8_t(bytes_[qsizetype(2 * i)]) | uint8_t(bytes_[qsizetype(2 * i + 1)]) << 8);
  return rows;
}

}  // namespace trackmill::ctdb
