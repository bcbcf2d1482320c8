#pragma once
#include <cstddef>
#include <cstdint>

#include "cd/DriveTypes.h"

// The records the drive layer exchanges with its callers: byte-packed, integers in host
// (little-endian) order, texts zero-terminated within their fields.
namespace trackmill {

using TCDHandle = uint32_t;  // 0 = no handle

// ModifyCDParms parameter: value 1 = TOC addresses as minute/second/frame, 0 = as LBA.
inline constexpr int kCDParmMsfAddresses = 36;

#pragma pack(push, 1)

struct TCDREC {
  uint8_t ha;   // host adapter: 0 physical drives, 1 disc images
  uint8_t tgt;  // target: position within its kind
  uint8_t lun;
  uint8_t pad;
  char id[65];        // device path or image path (cut)
  char vendor[9];
  char prodId[17];
  char rev[5];
  char vendSpec[21];
};
static_assert(sizeof(TCDREC) == 121);

struct TCDList {
  uint8_t max;  // capacity, set by the caller (at most kMaxDrives)
  uint8_t num;  // drives found (at most max)
  TCDREC cd[kMaxDrives];
};

struct TGetCDHandle {
  uint8_t size = 12;
  uint8_t ver = 1;
  uint8_t ha = 0;
  uint8_t tgt = 0;
  uint8_t lun = 0;
  uint8_t readType = 0;  // 0 automatic
  uint32_t jitterCorr = 0;
  uint8_t numJitter = 0;
  uint8_t numOverlap = 0;
};
static_assert(sizeof(TGetCDHandle) == 12);

struct TTOCTRACK {
  uint8_t rsvd;
  uint8_t ADR;  // ADR in the high nibble, control (kControlDataTrack ...) in the low one
  uint8_t trackNumber;  // kLeadOutTrackNumber for the lead-out
  uint8_t rsvd2;
  // MSF mode: {0, minute, second, frame}; LBA mode: the LBA as 32-bit little-endian.
  uint8_t addr[4];
};

struct TTOC {
  uint16_t tocLen;  // bytes after this field: 2 + 8 x (tracks + lead-out)
  uint8_t firstTrack;
  uint8_t lastTrack;
  TTOCTRACK tracks[kTocEntries];  // entry k: k-th track from the first; then the lead-out
};
static_assert(sizeof(TTOC) == 804);

// Read request header; the data area of maxLen bytes follows it directly in memory.
struct TTrackBufHeader {
  uint32_t startFrame;   // first sector (sector number as reads address it)
  uint32_t numFrames;    // sectors to read
  uint32_t maxLen;       // capacity of the data area, at least numFrames x 2352
  uint32_t len;          // bytes returned
  uint32_t status;
  int32_t startOffset;   // first valid byte within the data area
};
static_assert(sizeof(TTrackBufHeader) == 24);

#pragma pack(pop)

// MSF address field -> sectors (minute x 4500 + second x 75 + frame).
inline int32_t MsfSectors(const TTOCTRACK& entry) {
  return entry.addr[1] * kSectorsPerMinute + entry.addr[2] * kSectorsPerSecond + entry.addr[3];
}

}  // namespace trackmill
