#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QThread>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A small HTTP server on 127.0.0.1 that answers CDDB commands the way a CDDB server script
// does, on a thread of its own (the code under test blocks while it waits for replies).
// Also serves as an HTTP proxy: a request whose target is an absolute URL is answered as if
// the proxy had forwarded it. Every request is recorded.
namespace trackmill::test {

struct RecordedRequest {
  QString requestLine;  // "GET /~cddb/cddb.cgi?cmd=... HTTP/1.1"
  QString target;       // the request target as sent
  QString cmd;          // decoded cmd parameter: "cddb query 940a1b0c ..."
  QString hello;        // decoded hello parameter: "user@example.org host trackmill 4.1"
  QString proto;
};

class CddbTestServer {
 public:
  enum class Mode { Answer, Endless, Silent };
  // reply: given the decoded cmd (the request target when there is none), the body to send
  // after a "200 OK" header; a reply that begins with "HTTP/" is sent as the whole response.
  using Reply = std::function<QByteArray(const QString& cmd)>;

  explicit CddbTestServer(Reply reply, Mode mode = Mode::Answer);
  ~CddbTestServer();

  quint16 Port() const { return port_; }
  QString HostPort() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
  std::vector<RecordedRequest> Requests() const;
  qint64 BytesSent() const;

  // Called on the server thread.
  void Record(const RecordedRequest& request);
  void AddBytesSent(qint64 bytes);
  QByteArray Answer(const QString& cmd) const { return reply_(cmd); }
  Mode GetMode() const { return mode_; }

 private:
  Reply reply_;
  Mode mode_;
  QThread thread_;
  quint16 port_ = 0;
  mutable std::mutex lock_;
  std::vector<RecordedRequest> requests_;  // guarded by lock_
  qint64 bytesSent_ = 0;                   // guarded by lock_
};

// Replies of a well-behaved server built from a table: query words -> query reply, and
// "category discid" -> xmcd entry lines.
QByteArray CddbEntryReply(const QString& category, const QString& discId, const QString& entry);

// The disc id as the CDDB protocol defines it, written out independently of the code under
// test: digit sums of each track's start second, the playing time and the track count.
quint32 ReferenceCddbDiscId(const std::vector<qint32>& startFrames, qint32 leadOutFrame);

}  // namespace trackmill::test
