#pragma once
#include <QString>
#include <atomic>

#include "cddb/CddbToc.h"

// The CDDB side of the drive layer: option setting, the disc query, the fetch of one disc
// entry and the last error code, with the records and results the query worker relies on.
// Spoken over HTTP to a CDDB server script (protocol level 6, UTF-8) through libcurl.
//
// Threads: every operation may be called from any thread. The options are process-wide
// (guarded by a lock) and are set afresh before every query; the last error code is
// process-wide too. Results: 1 on success, 0 on failure with GetAspiLibError() telling why.
namespace trackmill {

inline constexpr int kCddbMatchCapacity = 10;
inline constexpr int kDiscInfoBufferBytes = 32000;

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

// Option numbers of CDDBSetOption (text, number).
enum CddbOption : int {
  kCddbOptionServer = 0,        // text "HOST" or "HOST:PORT" (port 80 when none)
  kCddbOptionProxyHost = 1,     // text
  kCddbOptionUseProxy = 2,      // number: non-zero uses the proxy
  kCddbOptionClient = 3,        // text "name version", sent in the hello
  kCddbOptionEmail = 4,         // text: the user's e-mail address, sent in the hello
  kCddbOptionProxyPort = 5,     // number
  kCddbOptionScript = 6,        // text: path of the CDDB script, e.g. "/~cddb/cddb.cgi"
  kCddbOptionHelloHost = 8,     // text: host name sent in the hello; empty for this machine's
  kCddbOptionConnectTimeoutMs = 9,   // number; 10000 by default
  kCddbOptionRequestTimeoutMs = 10,  // number: the whole request; 30000 by default
};

// Error codes of GetAspiLibError besides the CDDB reply codes (202, 4xx, 5xx) kept as they are.
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

// Returns false for an unknown option number.
bool CDDBSetOption(int option, const QString& text, int value);
// Restores every option to its default (tests and a fresh query window use it).
void CDDBResetOptions();

// "cddb query" for the disc. Fills up to query.num records (zeroing the rest is the caller's
// part) and sets query.num to the match count; a "no match" reply is a success with count 0
// and last error 202. Fails without a server reply, with an error reply, without an e-mail
// option, or for an invalid TOC.
int CDDBQuery(const CddbToc& toc, TCDDBQuery& query);

// "cddb read" of one match into buffer: the xmcd lines of the disc entry, zero-terminated,
// never more than size bytes written; an entry that does not fit is cut at a line end.
int CDDBGetDiskInfo(const TCDDBQueryItem& item, char* buffer, int size);

int GetAspiLibError();

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
