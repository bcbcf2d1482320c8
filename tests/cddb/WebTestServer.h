#pragma once
#include <QByteArray>
#include <QString>
#include <QThread>
#include <functional>
#include <mutex>
#include <vector>

// A small HTTP/1.0 server on 127.0.0.1 for the web-service lookups, on a thread of its own:
// each request's target goes to a handler that returns the whole answer. Every request is
// recorded with its User-Agent.
namespace trackmill::test {

struct WebAnswer {
  WebAnswer(int code, QByteArray content, QByteArray type = "application/json", QByteArray redirect = {})
      : status(code), body(std::move(content)), contentType(std::move(type)), location(std::move(redirect)) {}
  int status;
  QByteArray body;
  QByteArray contentType;
  QByteArray location;  // sent as Location: when not empty (redirects)
  qint64 declaredLength = -1;  // the Content-Length sent; -1: the body's own (else a lying server)
};

struct WebRequest {
  QString target;  // "/ws/2/discid/...?..."
  QByteArray userAgent;
  QByteArray range;  // the Range header's value, empty without one
};

class WebTestServer {
 public:
  using Handler = std::function<WebAnswer(const QString& target)>;
  explicit WebTestServer(Handler handler);
  // A handler that sees the whole request (its headers too).
  using RequestHandler = std::function<WebAnswer(const WebRequest& request)>;
  explicit WebTestServer(RequestHandler handler);
  ~WebTestServer();

  QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
  std::vector<WebRequest> Requests() const;

  // Called on the server thread.
  WebAnswer Answer(const WebRequest& request);

 private:
  RequestHandler handler_;
  QThread thread_;
  quint16 port_ = 0;
  mutable std::mutex lock_;
  std::vector<WebRequest> requests_;  // guarded by lock_
};

// A base URL where nothing listens.
QString DeadServerUrl();

}  // namespace trackmill::test
