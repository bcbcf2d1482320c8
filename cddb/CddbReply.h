#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

// Parsing of CDDB server replies (protocol level 6: UTF-8 text, CR LF or LF line ends).
// Pure functions over a bounded byte array; they never read past it and accept any bytes.
namespace trackmill {

inline constexpr int kCddbMaxMatches = 10;

struct CddbMatch {
  QString category;  // e.g. "rock"
  QString discId;    // 8 hex digits as the server wrote them
  QString title;     // "Artist / Album" as the server wrote it
};

struct CddbQueryReply {
  int code = 0;  // the three-digit reply code; 0 when the reply does not start with one
  std::vector<CddbMatch> matches;  // 200: the one match; 210/211: the list, at most 10
};

struct CddbReadReply {
  int code = 0;
  QString entry;  // for 210: the xmcd lines between the status line and the "." line
};

// The leading three-digit code of a reply, 0 when there is none.
int CddbReplyCode(const QByteArray& reply);
CddbQueryReply ParseCddbQueryReply(const QByteArray& reply);
CddbReadReply ParseCddbReadReply(const QByteArray& reply);

}  // namespace trackmill
