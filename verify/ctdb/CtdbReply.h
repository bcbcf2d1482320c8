#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The parity database's lookup reply: one entry per pressing it knows of the disc, each with
// its disc CRC, confidence, the column-0 syndromes that find its offset, where its parity file
// is, and its per-track CRCs. Metadata in the reply is skipped.
//
// ParseCtdbReply reads a reply body with a bounded XML reader: a body that is not XML, is cut
// short or is larger than kMaxReplyBytes is unreadable, never a disc without entries. Entries
// lacking a TOC or with malformed numbers are left out and counted. Any thread.
namespace trackmill::ctdb {

inline constexpr qsizetype kMaxReplyBytes = 1 << 20;

struct CtdbEntry {
  qint64 id = 0;
  uint32_t crc = 0;
  int confidence = 0;
  int npar = 8;
  int strideSamples = 5880;
  QString parityUrl;                  // hasparity as given; empty without parity
  std::vector<uint16_t> syndromes;    // column 0: S_0(0) ... from syndrome, or from old parity
  std::vector<uint32_t> trackCrcs;    // empty without trackcrcs
  QString toc;
};

struct CtdbReply {
  bool readable = false;
  QString failure;             // why not readable
  std::vector<CtdbEntry> entries;
  int skippedEntries = 0;      // entries left out as unusable
};

CtdbReply ParseCtdbReply(const QByteArray& body);

}  // namespace trackmill::ctdb
