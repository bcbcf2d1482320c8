#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>
#include <optional>
#include <vector>

#include "verify/ctdb/CtdbReply.h"
#include "verify/ctdb/CtdbToc.h"

// Asking the parity database about a disc, and fetching an entry's parity file.
//
// LookUpCtdb sends the TOC string over plain HTTP (blocking; call it off the main thread) and
// sorts the answer into found, not in the database (404, or 200 without a usable entry),
// unreachable (no connection, time-out, any other HTTP failure) or unreadable (a reply that is
// not the database's XML, is cut short or too large). An unreachable database is never taken
// for a disc it does not know.
//
// ParityDownload fetches a parity file progressively: the first 4, then 8, then 16 rows, each
// step asking only for the bytes it lacks with an HTTP range; a server that answers with the
// whole file instead is accepted, a reply of any other length is not. One owner, any thread.
namespace trackmill::ctdb {

inline constexpr int kParityRowBytes = 2 * 11760;

struct CtdbServer {
  QString hostPort = QStringLiteral("db.cuetools.net");  // HOST[:PORT], port 80 when none
  int connectTimeoutMs = 5000;
  int requestTimeoutMs = 30000;
  const std::atomic<bool>* cancel = nullptr;
};

struct CtdbLookup {
  enum class Outcome { Found, NotInDatabase, Unreachable, Unreadable };
  Outcome outcome = Outcome::Unreachable;
  QString detail;  // why unreachable or unreadable
  std::vector<CtdbEntry> entries;
};

QByteArray CtdbLookupUrl(const QString& hostPort, const CtdbToc& toc);
CtdbLookup LookUpCtdb(const CtdbToc& toc, const CtdbServer& server);
// The sorting of a reply already fetched with HTTP status 200.
CtdbLookup SortCtdbReply(const QByteArray& body);

// The parity file's address from an entry's hasparity: an http:// URL as it is, a
// server-relative path below the lookup's host; nullopt for anything else (other schemes,
// protocol-relative or malformed addresses).
std::optional<QByteArray> ParityFileUrl(const QString& hasParity, const QString& hostPort);

class ParityDownload {
 public:
  // entryNpar: the rows the entry says its file holds (the file is entryNpar * 23520 bytes).
  ParityDownload(QByteArray url, int entryNpar, const CtdbServer& server);

  // Makes sure the first min(npar, entry's, 16) rows are there; false with Failure() set when
  // the server does not deliver them.
  bool FetchRows(int npar);
  int RowCount() const { return int(bytes_.size() / kParityRowBytes); }
  // Row i of every column after another: S_i(0) ... S_i(11759), i < RowCount().
  std::vector<uint16_t> Rows() const;
  QString Failure() const { return failure_; }

 private:
  QByteArray url_;
  int entryRows_ = 0;
  CtdbServer server_;
  QByteArray bytes_;
  QString failure_;
};

}  // namespace trackmill::ctdb
