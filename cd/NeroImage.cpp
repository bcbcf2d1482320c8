#include "cd/NeroImage.h"

#include <cdio/cdtext.h>

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace trackmill {
namespace {

constexpr int kMaxTracks = 99;
constexpr qsizetype kChunkHeaderBytes = 8;
constexpr qint64 kMaxListBytes = 1024 * 1024;
// Disc-at-once chunk: its own length, catalogue number, disc type, first and last track.
constexpr qsizetype kDaoHeaderBytes = 4 + 14 + 2 + 1 + 1;

std::optional<uint64_t> BigEndian(const QByteArray& bytes, qsizetype at, int width) {
  if (at < 0 || at + width > bytes.size()) return std::nullopt;
  const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
  return width == 8 ? qFromBigEndian<quint64>(p) : qFromBigEndian<quint32>(p);
}

// Tracks libcdio adds to its table for a chunk: one per extent entry, one per pair of cue
// entries after the lead-in's. Disc-at-once chunks add none.
qsizetype TableTracks(const QByteArray& name, qsizetype bodyBytes) {
  if (name == "ETNF") return bodyBytes / 20;
  if (name == "ETN2") return bodyBytes / 32;
  if (name == "CUES" || name == "CUEX") return std::max<qsizetype>(0, bodyBytes / 8 - 1) / 2;
  return 0;
}

// A disc-at-once chunk's track range lies in 1..99 and its entries fit the chunk.
bool DaoChunkFits(const QByteArray& body, int trackBytes) {
  if (body.size() < kDaoHeaderBytes) return false;
  const int first = uchar(body[kDaoHeaderBytes - 2]);
  const int last = uchar(body[kDaoHeaderBytes - 1]);
  if (first < 1 || last < first || last > kMaxTracks) return false;
  return body.size() >= kDaoHeaderBytes + qsizetype(last - first + 1) * trackBytes;
}

// libcdio 2.1 frees the CD-Text of an image twice when its packs do not parse; its own
// parser, run on a copy, tells beforehand.
bool CdTextParses(QByteArray body) {
  cdtext_t* text = cdtext_init();
  const int failed = cdtext_data_init(text, reinterpret_cast<uint8_t*>(body.data()), size_t(body.size()));
  cdtext_destroy(text);
  return failed == 0;
}

}  // namespace

bool NeroImageFitsReader(QIODevice& image) {
  const qint64 size = image.size();
  if (size < 8 || !image.seek(std::max<qint64>(0, size - 12))) return true;
  const QByteArray footer = image.read(12);
  std::optional<uint64_t> listStart;
  qint64 listEnd = 0;  // where the footer starts
  if (footer.size() == 12 && footer.startsWith("NER5")) {
    listStart = BigEndian(footer, 4, 8);
    listEnd = size - 12;
  } else if (footer.size() >= 8 && footer.sliced(footer.size() - 8, 4) == "NERO") {  // a short read too
    listStart = BigEndian(footer, footer.size() - 4, 4);
    listEnd = size - 8;
  } else {
    return true;
  }
  if (!listStart || *listStart > uint64_t(listEnd) || listEnd - qint64(*listStart) > kMaxListBytes ||
      !image.seek(qint64(*listStart)))
    return false;
  const QByteArray list = image.read(listEnd - qint64(*listStart));
  // libcdio adds the tracks of every chunk (one per session) to one table.
  qsizetype tracks = 0;
  for (qsizetype at = 0; at + kChunkHeaderBytes <= list.size();) {
    const QByteArray name = list.sliced(at, 4);
    const uint64_t length = *BigEndian(list, at + 4, 4);
    if (length > uint64_t(list.size() - at - kChunkHeaderBytes)) return false;
    const QByteArray body = list.sliced(at + kChunkHeaderBytes, qsizetype(length));
    if (name == "END!") return true;
    if ((name == "DAOI" || name == "DAOX") && !DaoChunkFits(body, name == "DAOI" ? 30 : 42)) return false;
    if ((tracks += TableTracks(name, body.size())) > kMaxTracks) return false;
    if (name == "CDTX" && !CdTextParses(body)) return false;
    at += kChunkHeaderBytes + qsizetype(length);
  }
  return false;  // no end mark before the footer
}

}  // namespace trackmill
