#include "cddb/DriveCddb.h"

#include <QSysInfo>
#include <QUrl>
#include <cstring>
#include <mutex>

#include "common/HttpGet.h"
#include "cddb/CddbReply.h"
#include "cddb/CddbServers.h"
#include "cddb/XmcdEntry.h"
#include "common/AppInfo.h"
#include "settings/LangString.h"

namespace trackmill {
namespace {

thread_local const std::atomic<bool>* t_cancel = nullptr;

CddbOutcome FailWith(int error) { return {false, error}; }

QByteArray Encoded(const QString& word) { return QUrl::toPercentEncoding(word); }

// The request URL: cmd and hello words joined by "+", each word percent-encoded.
QByteArray CddbUrl(const CddbOptions& options, const QStringList& command) {
  QString host;
  int port = 80;
  SplitHostPort(options.server, 80, host, port);
  QString script = options.script.trimmed();
  if (!script.startsWith(QLatin1Char('/'))) script.prepend(QLatin1Char('/'));

  QString client = options.client.trimmed();
  QString version = QString::fromLatin1(kAppVersion);
  const qsizetype blank = client.lastIndexOf(QLatin1Char(' '));
  if (blank > 0) {
    version = client.mid(blank + 1);
    client = client.left(blank).trimmed();
  }
  if (client.isEmpty()) client = QStringLiteral("trackmill");
  QString helloHost = options.helloHost.trimmed();
  if (helloHost.isEmpty()) helloHost = QSysInfo::machineHostName();
  if (helloHost.isEmpty()) helloHost = QStringLiteral("localhost");

  QByteArray cmd;
  for (const QString& word : command) {
    if (!cmd.isEmpty()) cmd += '+';
    cmd += Encoded(word);
  }
  const QByteArray hello = Encoded(options.email.trimmed()) + '+' + Encoded(helloHost) + '+' +
                           Encoded(client) + '+' + Encoded(version);
  QByteArray hostPart = QUrl::toAce(host);  // international names in their ASCII form
  if (hostPart.isEmpty()) hostPart = Encoded(host);
  if (host.contains(QLatin1Char(':'))) hostPart = '[' + host.toLatin1() + ']';  // IPv6
  return "http://" + hostPart + ':' + QByteArray::number(port) +
         QUrl::toPercentEncoding(script, "/~") + "?cmd=" + cmd + "&hello=" + hello + "&proto=6";
}

// Runs one CDDB command; ok unless the transfer failed.
CddbOutcome Exchange(const CddbOptions& options, const QStringList& command, qsizetype maxBodyBytes,
                     HttpResult& result) {
  if (options.email.trimmed().isEmpty()) return FailWith(kCddbErrorNoEmail);
  HttpRequest request;
  request.url = CddbUrl(options, command);
  if (options.useProxy && !options.proxyHost.trimmed().isEmpty()) {
    request.proxyHost = options.proxyHost.trimmed();
    request.proxyPort = options.proxyPort;
  }
  request.connectTimeoutMs = options.connectTimeoutMs;
  request.requestTimeoutMs = options.requestTimeoutMs;
  request.maxBodyBytes = maxBodyBytes;
  request.cancel = t_cancel;
  result = HttpGetBounded(request);
  switch (result.outcome) {
    case HttpResult::Outcome::Ok:
    case HttpResult::Outcome::Truncated:
      return {true, kCddbErrorNone};
    case HttpResult::Outcome::TimedOut:
      return FailWith(kCddbErrorTimeout);
    case HttpResult::Outcome::Cancelled:
      return FailWith(kCddbErrorCancelled);
    case HttpResult::Outcome::HttpError:
      return FailWith(kCddbErrorHttp);
    case HttpResult::Outcome::NetworkError:
      break;
  }
  return FailWith(kCddbErrorNetwork);
}

void CopyText(char* field, size_t fieldSize, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  const size_t length = std::min(static_cast<size_t>(bytes.size()), fieldSize - 1);
  std::memcpy(field, bytes.constData(), length);
  field[length] = '\0';
}

QString FieldText(const char* field, size_t fieldSize) {
  return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, fieldSize)));
}

void FillItem(TCDDBQueryItem& item, const CddbMatch& match) {
  std::memset(&item, 0, sizeof item);
  CopyText(item.categ, sizeof item.categ, match.category);
  CopyText(item.cddbId, sizeof item.cddbId, match.discId);
  const DiscTitle title = SplitDiscTitle(match.title);
  CopyText(item.artist, sizeof item.artist, title.artist);
  CopyText(item.title, sizeof item.title, title.album);
}

}  // namespace

QString DefaultCddbClient() { return QStringLiteral("trackmill %1").arg(QLatin1String(kAppVersion)); }

CddbOutcome CDDBQuery(const CddbOptions& options, const CddbToc& toc, TCDDBQuery& query) {
  if (query.num < 0 || (query.num > 0 && !query.q)) return FailWith(kCddbErrorBadArgument);
  const QStringList words = CddbQueryWords(toc);
  if (words.isEmpty()) return FailWith(kCddbErrorBadToc);
  HttpResult http;
  if (const CddbOutcome sent = Exchange(options, QStringList{QStringLiteral("cddb"), QStringLiteral("query")} + words,
                                        kDiscInfoBufferBytes, http);
      !sent.ok)
    return sent;
  const CddbQueryReply reply = ParseCddbQueryReply(http.body);
  if (reply.code == 202) {
    query.num = 0;
    return {true, 202};
  }
  if (reply.code != 200 && reply.code != 210 && reply.code != 211) {
    return FailWith(reply.code != 0 ? reply.code : kCddbErrorBadReply);
  }
  const int count = std::min(query.num, static_cast<int>(reply.matches.size()));
  for (int i = 0; i < count; ++i) FillItem(query.q[i], reply.matches[static_cast<size_t>(i)]);
  query.num = count;
  return {true, count > 0 ? kCddbErrorNone : reply.code};
}

CddbOutcome CDDBGetDiskInfo(const CddbOptions& options, const TCDDBQueryItem& item, char* buffer, int size) {
  if (!buffer || size <= 0) return FailWith(kCddbErrorBadArgument);
  buffer[0] = '\0';
  const QString category = FieldText(item.categ, sizeof item.categ);
  const QString discId = FieldText(item.cddbId, sizeof item.cddbId);
  if (category.isEmpty() || discId.isEmpty()) return FailWith(kCddbErrorBadArgument);
  HttpResult http;
  // Room for the status line besides the entry; the buffer itself bounds the entry below.
  if (const CddbOutcome sent = Exchange(options, {QStringLiteral("cddb"), QStringLiteral("read"), category, discId},
                                        static_cast<qsizetype>(size) + 512, http);
      !sent.ok)
    return sent;
  const int code =
      StoreDiscEntry(http.body, http.outcome == HttpResult::Outcome::Truncated, buffer, size);
  if (code != 210) return FailWith(code != 0 ? code : kCddbErrorBadReply);
  return {true, kCddbErrorNone};
}

int StoreDiscEntry(QByteArray readReply, bool cutOff, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (cutOff) {
    // Drop the cut-off last line rather than hand on half a title.
    readReply.truncate(readReply.lastIndexOf('\n') + 1);
  }
  const CddbReadReply reply = ParseCddbReadReply(readReply);
  if (reply.code != 210) return reply.code;
  QByteArray entry = reply.entry.toUtf8();
  if (entry.size() > size - 1) {
    entry.truncate(size - 1);
    entry.truncate(entry.lastIndexOf('\n') + 1);
  }
  std::memcpy(buffer, entry.constData(), static_cast<size_t>(entry.size()));
  buffer[entry.size()] = '\0';
  return reply.code;
}

void CDDBSetCancelFlag(const std::atomic<bool>* flag) { t_cancel = flag; }

void SplitHostPort(const QString& text, int defaultPort, QString& host, int& port) {
  const QString trimmed = text.trimmed();
  port = defaultPort;
  qsizetype colon = -1;
  if (trimmed.startsWith(QLatin1Char('['))) {
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    host = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
    if (close >= 0 && trimmed.mid(close + 1).startsWith(QLatin1Char(':'))) colon = close + 1;
  } else {
    colon = trimmed.count(QLatin1Char(':')) == 1 ? trimmed.indexOf(QLatin1Char(':')) : -1;
    host = colon < 0 ? trimmed : trimmed.left(colon);
  }
  if (colon >= 0) {
    bool ok = false;
    const int value = trimmed.mid(colon + 1).toInt(&ok);
    if (ok && value > 0 && value <= 65535) port = value;
  }
}

QString CddbErrorText(int code) {
  switch (code) {
    case kCddbErrorNoEmail:
      return LangString(QStringLiteral("RES_CddbNoEmail"));
    case kCddbErrorNetwork:
      return LangString(QStringLiteral("RES_CddbNoNetwork"));
    case kCddbErrorTimeout:
      return LangString(QStringLiteral("RES_CddbTimeout"));
    case kCddbErrorHttp:
      return LangString(QStringLiteral("RES_CddbHttpError"));
    case kCddbErrorBadReply:
      return LangString(QStringLiteral("RES_CddbBadReply"));
    case kCddbErrorBadToc:
      return LangString(QStringLiteral("RES_CddbBadToc"));
    case kCddbErrorCancelled:
      return LangString(QStringLiteral("RES_CddbCancelled"));
    case 202:
      return LangString(QStringLiteral("RES_CddbNoMatch"));
    default:
      break;
  }
  if (code >= 400 && code <= 599) {
    return LangString(QStringLiteral("RES_CddbRefused"))
        .arg(code);
  }
  return LangString(QStringLiteral("RES_CddbFailed"))
      .arg(code);
}

}  // namespace trackmill
