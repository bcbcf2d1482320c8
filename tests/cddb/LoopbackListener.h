#pragma once
#include <QThread>
#include <functional>

class QTcpSocket;

// The listening side of the loopback test servers: a QTcpServer on 127.0.0.1 (any free port)
// that lives on the given running thread and hands every new connection to serve there. The
// server goes when the thread finishes.
namespace trackmill::test {

quint16 ListenOnLoopback(QThread& thread, std::function<void(QTcpSocket*)> serve);

}  // namespace trackmill::test
