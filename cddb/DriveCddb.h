#pragma once
#include <QString>
#include <atomic>

#include "cddb/CddbServers.h"
#include "cddb/CddbToc.h"

// The CDDB side of the drive layer: the disc query and the fetch of one disc entry, with the records and results the query worker relies on.
// Spoken over HTTP to a CDDB server script (protocol level 6, UTF-8) through libcurl.
//
// Threads: every operation may be called from any thread; each takes its options as a value
// and returns its outcome, so nothing is shared between queries.
namespace trackmill {

inline constexpr int kCddbMatchCapacity = 10;
inline constexpr int kDiscInfoBufferBytes = 32000;

// "trackmill VERSION".
QString DefaultCddbClient();

#pragma pack(push, 1)
// One match of a query. Filled by CDDBQuery, read back by CDDBGetDiskInfo; texts are UTF-8,
// zero-terminated, cut to their field.
struct TCDDBQueryItem {
  char categ[16];
  char cddbId[12];
  char artist[82];
  char title[82];
};
#pragma pack(pop)
static_assert(sizeof(TCDDBQueryItem) == 192);

struct TCDDBQuery {
  qint32 num = 0;                // on entry the capacity of q, on return the match count
  TCDDBQueryItem* q = nullptr;   // the caller's array of num records
};

// The server and the words of one query or read; a plain value that each call takes.
struct CddbOptions {
  QString server = QStringLiteral("gnudb.gnudb.org");  // "HOST" or "HOST:PORT" (port 80 when none)
  QString script = QString::fromLatin1(kCddbDefaultScript);  // e.g. "/~cddb/cddb.cgi"
  QString email;                                        // the user's address, sent in the hello
  QString client = DefaultCddbClient();                 // "name version", sent in the hello
  QString helloHost;                                    // empty: this machine's name
  bool useProxy = false;
  QString proxyHost;
  int proxyPort = 80;
  int connectTimeoutMs = 10000;
  int requestTimeoutMs = 30000;  // the whole request
};

// How a call ended: error is kCddbErrorNone, one of the codes below or a CDDB reply code.
struct CddbOutcome {
  bool ok = false;
  int error = 0;
};

// Error codes of a CddbOutcome besides the CDDB reply codes (202, 4xx, 5xx) kept as they are.
enum CddbError : int {
  kCddbErrorNone = 0,
  kCddbErrorNoEmail = 1,
  kCddbErrorNetwork = 2,
  kCddbErrorTimeout = 3,
  kCddbErrorHttp = 4,
  kCddbErrorBadReply = 5,
  kCddbErrorBadToc = 6,
  kCddbErrorCancelled = 7,
  kCddbErrorBadArgument = 8,
};

// "cddb query" for the disc. Fills up to query.num records (zeroing the rest is the caller's
// part) and sets query.num to the match count; a "no match" reply is a success with count 0
// and error 202. Fails without a server reply, with an error reply, without an e-mail
// option, or for an invalid TOC.
CddbOutcome CDDBQuery(const CddbOptions& options, const CddbToc& toc, TCDDBQuery& query);

// "cddb read" of one match into buffer: the xmcd lines of the disc entry, zero-terminated,
// never more than size bytes written; an entry that does not fit is cut at a line end.
CddbOutcome CDDBGetDiskInfo(const CddbOptions& options, const TCDDBQueryItem& item, char* buffer, int size);

// The step of CDDBGetDiskInfo after the transfer: the entry of a "cddb read" reply into
// buffer, zero-terminated, at most size bytes written, cut at a line end when it does not
// fit (cutOff: the reply itself was cut, so its last line is dropped). Returns the reply code
// (210 when buffer holds an entry; buffer is then the empty text for any other code).
int StoreDiscEntry(QByteArray readReply, bool cutOff, char* buffer, int size);

// A clear message for an error code (through LangString: main thread only).
QString CddbErrorText(int code);

// Lets the calling thread's transfers be abandoned: while the flag is set on this thread,
// a transfer ends soon after the flag becomes true (with kCddbErrorCancelled).
void CDDBSetCancelFlag(const std::atomic<bool>* flag);

// "HOST[:PORT]" (IPv6 hosts in brackets) split into host and port; a missing or unusable
// port gives defaultPort.
void SplitHostPort(const QString& text, int defaultPort, QString& host, int& port);

}  // namespace trackmill
