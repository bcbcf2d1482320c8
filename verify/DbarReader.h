#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <vector>

// The checksum database's reply for one disc: one block per pressing, each a 13-byte header
// (track count byte, id1, id2, CDDB id) and 9 bytes per track (confidence byte, checksum,
// sector-450 checksum), integers 32-bit little-endian.
//
// ReadDbar never reads outside the reply whatever it holds. It tolerates and reports: a last
// block cut short (dropped, with its bytes counted) and blocks that name another disc or
// track count than the first (kept; callers compare the ids). Pure function; any thread.
namespace trackmill {

inline constexpr int kDbarHeaderBytes = 13;
inline constexpr int kDbarTrackBytes = 9;

struct DbarTrack {
  quint8 confidence = 0;
  quint32 checksum = 0;
  quint32 frame450 = 0;
};

struct DbarPressing {
  int trackCount = 0;
  quint32 id1 = 0;
  quint32 id2 = 0;
  quint32 cddbId = 0;
  std::vector<DbarTrack> tracks;  // trackCount entries
};

struct DbarReply {
  std::vector<DbarPressing> pressings;
  qsizetype droppedBytes = 0;  // a trailing block cut short
};

DbarReply ReadDbar(const QByteArray& data);

}  // namespace trackmill
