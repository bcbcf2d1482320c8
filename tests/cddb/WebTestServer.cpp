#include "WebTestServer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "LoopbackListener.h"
#include "common/ThreadHandOver.h"

namespace trackmill::test {
namespace {

QByteArray HeaderValue(const QByteArray& head, const QByteArray& name) {
  for (const QByteArray& line : head.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().toLower() == name) return line.mid(colon + 1).trimmed();
  }
  return {};
}

void Serve(WebTestServer* owner, QTcpSocket* socket) {
  auto buffer = std::make_shared<QByteArray>();
  QObject::connect(socket, &QTcpSocket::readyRead, socket, [owner, socket, buffer] {
    buffer->append(socket->readAll());
    const qsizetype end = buffer->indexOf("\r\n\r\n");
    if (end < 0) return;
    const QByteArray head = buffer->left(end);
    buffer->clear();
    WebRequest request;
    request.target = QString::fromUtf8(head.left(head.indexOf("\r\n")).split(' ').value(1));
    request.userAgent = HeaderValue(head, "user-agent");
    request.range = HeaderValue(head, "range");
    const WebAnswer answer = owner->Answer(request);
    QByteArray reply = "HTTP/1.0 " + QByteArray::number(answer.status) + " Answer\r\nContent-Type: " +
                       answer.contentType + "\r\nContent-Length: " + QByteArray::number(answer.declaredLength < 0 ? answer.body.size() : answer.declaredLength) +
                       "\r\nConnection: close\r\n";
    if (!answer.location.isEmpty()) reply += "Location: " + answer.location + "\r\n";
    socket->write(reply + "\r\n" + answer.body);
    socket->disconnectFromHost();
  });
  QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

}  // namespace

WebTestServer::WebTestServer(Handler handler)
    : WebTestServer(RequestHandler([handler = std::move(handler)](const WebRequest& request) {
        return handler(request.target);
      })) {}

WebTestServer::WebTestServer(RequestHandler handler) : handler_(std::move(handler)) {
  thread_.start();
  port_ = ListenOnLoopback(thread_, [this](QTcpSocket* socket) { Serve(this, socket); });
}

WebTestServer::~WebTestServer() {
  thread_.quit();
  JoinThread(thread_);
}

std::vector<WebRequest> WebTestServer::Requests() const {
  std::lock_guard lock(lock_);
  return requests_;
}

WebAnswer WebTestServer::Answer(const WebRequest& request) {
  {
    std::lock_guard lock(lock_);
    requests_.push_back(request);
  }
  return handler_(request);
}

QString DeadServerUrl() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();  // nothing listens there any more
  return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

}  // namespace trackmill::test
