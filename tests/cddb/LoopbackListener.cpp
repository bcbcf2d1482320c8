#include "LoopbackListener.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "common/ThreadHandOver.h"

namespace trackmill::test {

quint16 ListenOnLoopback(QThread& thread, std::function<void(QTcpSocket*)> serve) {
  auto* server = new QTcpServer;
  server->moveToThread(&thread);
  QObject::connect(&thread, &QThread::finished, server, &QObject::deleteLater);
  // The owner's JoinThread then sees all the server thread did.
  QObject::connect(&thread, &QThread::finished, &thread, [&thread] { HandOver(&thread); }, Qt::DirectConnection);
  quint16 port = 0;
  CallAndWait(server, [server, &port, serve = std::move(serve)] {
    server->listen(QHostAddress::LocalHost, 0);
    port = server->serverPort();
    QObject::connect(server, &QTcpServer::newConnection, server, [server, serve] {
      while (QTcpSocket* socket = server->nextPendingConnection()) serve(socket);
    });
  });
  return port;
}

}  // namespace trackmill::test
