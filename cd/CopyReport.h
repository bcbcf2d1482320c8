#pragma once
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <vector>

// What a secure extraction of one track proved: the runs of sectors it could not prove, the
// re-reads it took, the peak level and the checksums of the test and of the copy pass.
// Plain value; any thread.
namespace trackmill {

struct SectorRun {
  int32_t first = 0;  // sectors from the track's INDEX 01, inclusive
  int32_t last = 0;
  bool operator==(const SectorRun&) const = default;
};

struct CopyReport {
  bool secure = false;               // false: read once, nothing proven or reported
  std::vector<SectorRun> suspicious;  // runs of unproven sectors
  quint64 rereads = 0;
  int peak = 0;                      // the largest absolute sample value, 0 .. 32768
  quint32 testCrc = 0;               // CRC32 of the audio as the test pass proved it
  quint32 copyCrc = 0;               // CRC32 of the audio written

  bool CopyOk() const { return suspicious.empty() && testCrc == copyCrc; }
  // "Copy OK" or "Copy finished with N suspicious positions" followed by the runs as
  // "m:ss.ff-m:ss.ff".
  QString Verdict() const;
  // The verdict, then re-reads, peak level in per cent and both CRCs, on one line.
  QString Line() const;
};

// Consecutive sectors in sorted (ascending) as runs, counted from firstSector.
std::vector<SectorRun> SectorRuns(const std::vector<int32_t>& sorted, int32_t firstSector);

// A sector count as m:ss.ff (75 frames a second).
QString SectorTime(int32_t sectors);

}  // namespace trackmill
