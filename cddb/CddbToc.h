#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The part of a disc's table of contents that a CDDB lookup needs, and the words of the
// "cddb query" command made from it. Plain value type; any thread.
namespace trackmill {

inline constexpr int kFramesPerSecond = 75;

struct CddbToc {
  int firstTrack = 1;  // number of the first track on the disc
  // Absolute start address of each track in frames, as the TOC gives it in minute/second/
  // frame form (the first track of a pressed disc starts at 150, the 2-second lead-in).
  std::vector<qint32> trackStartFrames;
  qint32 leadOutFrame = 0;  // absolute address of the lead-out, same form

  int TrackCount() const { return static_cast<int>(trackStartFrames.size()); }
  int LastTrack() const { return firstTrack + TrackCount() - 1; }
  // At least one track, 99 at most, ascending non-negative addresses ending before the lead-out.
  bool IsValid() const;
};

// "cddb query" arguments: disc id as 8 lowercase hex digits, track count, each track's
// frame offset, disc length in seconds (lead-out address / 75). Empty for an invalid TOC.
QStringList CddbQueryWords(const CddbToc& toc);

}  // namespace trackmill
