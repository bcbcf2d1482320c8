#include "LoopbackListener.h"

#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>

namespace trackmill::test {

quint16 ListenOnLoopback(QThread& thread, std::function<void(QTcpSocket*)> serve) {
  auto* server = new QTcpServer;
  server->moveToThread(&thread);
  QObject::connect(&thread, &QThread::finished, server, &QObject::deleteLater);
  quint16 port = 0;
  QMetaObject::invokeMethod(
      server,
      [server, &port, serve = std::move(serve)] {
        server->listen(QHostAddress::LocalHost, 0);
        port = server->serverPort();
        QObject::connect(server, &QTcpServer::newConnection, server, [server, serve] {
          while (QTcpSocket* socket = server->nextPendingConnection()) serve(socket);
        });
      },
      Qt::BlockingQueuedConnection);
  return port;
}

}  // namespace trackmill::test
