#include "CddbTestServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include "LoopbackListener.h"
#include "common/ThreadHandOver.h"

namespace trackmill::test {
namespace {

QString DecodeParameter(const QUrlQuery& query, const QString& name) {
  QString value = query.queryItemValue(name, QUrl::FullyEncoded);
  value.replace(QLatin1Char('+'), QLatin1Char(' '));
  return QUrl::fromPercentEncoding(value.toUtf8());
}

void Serve(CddbTestServer* owner, QTcpSocket* socket) {
  auto buffer = std::make_shared<QByteArray>();
  QObject::connect(socket, &QTcpSocket::readyRead, socket, [owner, socket, buffer] {
    buffer->append(socket->readAll());
    if (!buffer->contains("\r\n\r\n")) return;
    const QString requestLine = QString::fromUtf8(buffer->left(buffer->indexOf("\r\n")));
    buffer->clear();
    RecordedRequest request;
    request.requestLine = requestLine;
    request.target = requestLine.section(QLatin1Char(' '), 1, 1);
    const QUrl url(request.target);
    const QUrlQuery query(url.query(QUrl::FullyEncoded));
    request.cmd = DecodeParameter(query, QStringLiteral("cmd"));
    request.hello = DecodeParameter(query, QStringLiteral("hello"));
    request.proto = DecodeParameter(query, QStringLiteral("proto"));
    owner->Record(request);

    const QByteArray header =
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=UTF-8\r\nConnection: close\r\n\r\n";
    switch (owner->GetMode()) {
      case CddbTestServer::Mode::Silent:
        return;  // accept, read, never answer
      case CddbTestServer::Mode::Endless: {
        socket->write(header + "210 rock 12345678 CD database entry follows\r\n");
        const auto more = [owner, socket] {
          if (socket->state() != QAbstractSocket::ConnectedState) return;
          if (socket->bytesToWrite() > 65536) return;
          const QByteArray chunk = QByteArray("EXTD=").append(QByteArray(4000, 'x')).append("\r\n");
          owner->AddBytesSent(socket->write(chunk));
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        return;
      }
      case CddbTestServer::Mode::Answer:
        break;
    }
    const QByteArray body = owner->Answer(request.cmd.isEmpty() ? request.target : request.cmd);
    owner->AddBytesSent(socket->write(body.startsWith("HTTP/") ? body : header + body));
    socket->disconnectFromHost();
  });
  QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

}  // namespace

CddbTestServer::CddbTestServer(Reply reply, Mode mode) : reply_(std::move(reply)), mode_(mode) {
  thread_.start();
  port_ = ListenOnLoopback(thread_, [this](QTcpSocket* socket) { Serve(this, socket); });
}

CddbTestServer::~CddbTestServer() {
  thread_.quit();
  JoinThread(thread_);
}

std::vector<RecordedRequest> CddbTestServer::Requests() const {
  std::lock_guard lock(lock_);
  return requests_;
}

qint64 CddbTestServer::BytesSent() const {
  std::lock_guard lock(lock_);
  return bytesSent_;
}

void CddbTestServer::Record(const RecordedRequest& request) {
  std::lock_guard lock(lock_);
  requests_.push_back(request);
}

void CddbTestServer::AddBytesSent(qint64 bytes) {
  std::lock_guard lock(lock_);
  if (bytes > 0) bytesSent_ += bytes;
}

QByteArray CddbEntryReply(const QString& category, const QString& discId, const QString& entry) {
  return QStringLiteral("210 %1 %2 CD database entry follows (until terminating `.')\r\n%3\r\n.\r\n")
      .arg(category, discId, QString(entry).replace(QLatin1String("\n"), QLatin1String("\r\n")))
      .toUtf8();
}

quint32 ReferenceCddbDiscId(const std::vector<qint32>& startFrames, qint32 leadOutFrame) {
  quint32 digitSum = 0;
  for (const qint32 frame : startFrames) {
    for (int seconds = frame / 75; seconds > 0; seconds /= 10) digitSum += seconds % 10;
  }
  const quint32 playing = static_cast<quint32>(leadOutFrame / 75 - startFrames.front() / 75);
  return ((digitSum % 255) << 24) | (playing << 8) | static_cast<quint32>(startFrames.size());
}

}  // namespace trackmill::test
