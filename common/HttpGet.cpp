#include "common/HttpGet.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "common/AppInfo.h"

namespace trackmill {
namespace {

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
  QByteArray body;
  qsizetype maxBodyBytes = 0;
  bool truncated = false;
  const std::atomic<bool>* cancel = nullptr;
};

size_t WriteBody(char* data, size_t size, size_t count, void* userData) {
  auto* transfer = static_cast<Transfer*>(userData);
  const size_t bytes = size * count;
  const qsizetype room = transfer->maxBodyBytes - transfer->body.size();
  if (static_cast<qsizetype>(bytes) > room) {
    // Keep what fits, then end the transfer: an endless or oversized reply must not grow
    // the buffer (returning fewer bytes than offered makes libcurl stop with a write error).
    if (room > 0) transfer->body.append(data, room);
    transfer->truncated = true;
    return 0;
  }
  transfer->body.append(data, static_cast<qsizetype>(bytes));
  return bytes;
}

int CheckCancel(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(userData);
  return transfer->cancel && transfer->cancel->load() ? 1 : 0;
}

}  // namespace

HttpResult HttpGetBounded(const HttpRequest& request) {
  InitCurlOnce();
  HttpResult result;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) {
    result.detail = QStringLiteral("libcurl could not be initialised");
    return result;
  }
  Transfer transfer;
  transfer.maxBodyBytes = request.maxBodyBytes;
  transfer.cancel = request.cancel;
  char errorText[CURL_ERROR_SIZE] = {};
  const QByteArray userAgent =
      request.userAgent.isEmpty() ? QByteArray("trackmill/") + kAppVersion : request.userAgent;
  const QByteArray proxyHost = request.proxyHost.toUtf8();

  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, request.url.constData());
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: safe in threads
  curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent.constData());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, request.maxRedirects);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(request.requestTimeoutMs));
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CheckCancel);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  if (!request.range.isEmpty()) curl_easy_setopt(h, CURLOPT_RANGE, request.range.constData());
  if (request.acceptCompressed) curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
  if (proxyHost.isEmpty()) {
    curl_easy_setopt(h, CURLOPT_PROXY, "");  // the settings decide, not http_proxy
  } else {
    curl_easy_setopt(h, CURLOPT_PROXY, proxyHost.constData());
    curl_easy_setopt(h, CURLOPT_PROXYPORT, static_cast<long>(request.proxyPort));
    curl_easy_setopt(h, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  }

  const CURLcode code = curl_easy_perform(h);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  result.body = std::move(transfer.body);
  if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && transfer.truncated)) {
    const bool partial = !request.range.isEmpty() && result.httpStatus == 206;
    if (result.httpStatus != 200 && !partial) {
      result.outcome = HttpResult::Outcome::HttpError;
      result.detail = QStringLiteral("HTTP status %1").arg(result.httpStatus);
    } else {
      result.outcome = transfer.truncated ? HttpResult::Outcome::Truncated : HttpResult::Outcome::Ok;
    }
    return result;
  }
  result.detail = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code));
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      result.outcome = HttpResult::Outcome::TimedOut;
      break;
    case CURLE_ABORTED_BY_CALLBACK:
      result.outcome = HttpResult::Outcome::Cancelled;
      break;
    default:
      result.outcome = HttpResult::Outcome::NetworkError;
  }
  return result;
}

}  // namespace trackmill
