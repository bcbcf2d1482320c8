#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>

// One bounded HTTP GET through libcurl: the transport under the CDDB operations.
// Reentrant: every call uses its own curl handle, so several threads may fetch at once.
// Never throws; every failure is an outcome of the result.
namespace trackmill {

struct HttpRequest {
  QByteArray url;             // http://host:port/path?query, already percent-encoded
  QString proxyHost;          // empty: no proxy (the environment's proxy variables are ignored)
  int proxyPort = 80;
  int connectTimeoutMs = 10000;
  int requestTimeoutMs = 30000;  // the whole transfer, connect included
  qsizetype maxBodyBytes = 32000;  // the transfer stops once the body would grow beyond this
  QByteArray userAgent;       // empty: "trackmill/VERSION"
  long maxRedirects = 3;
  QByteArray range;           // "FIRST-LAST" bytes for a range request; its 206 reply is a success
  bool acceptCompressed = false;  // offer gzip and deflate; maxBodyBytes bounds the unpacked body
  const std::atomic<bool>* cancel = nullptr;  // when set and true, the transfer is abandoned
};

struct HttpResult {
  enum class Outcome { Ok, Truncated, NetworkError, TimedOut, Cancelled, HttpError };
  Outcome outcome = Outcome::NetworkError;
  long httpStatus = 0;
  QByteArray body;  // never longer than maxBodyBytes; for Truncated, the first maxBodyBytes
  QString detail;   // libcurl's own description of a failure
};

HttpResult HttpGetBounded(const HttpRequest& request);

}  // namespace trackmill
