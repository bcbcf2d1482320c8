#pragma once
#include <QString>
#include <vector>

#include "cd/Drive.h"

// Where a disc's tracks lie, from a table of contents: what the disc ids, the checksums, the cue sheet and the extraction agree on.
// Frames are absolute addresses (the first track of a pressed disc starts at 150); reads
// address frame - 150. The audio of a track ends where the next track starts, except before
// the data track of an enhanced CD, whose session gap (11400 frames) holds no audio.
// Plain value type; any thread.
namespace trackmill {

struct DiscTrack {
  int number = 0;         // as the disc numbers it
  qint32 startFrame = 0;  // absolute
  qint32 endFrame = 0;    // absolute, exclusive: the next track, session gap or lead-out
  bool data = false;
  qint32 Frames() const { return endFrame - startFrame; }
};

struct DiscLayout {
  std::vector<DiscTrack> tracks;  // every track, data tracks included
  qint32 leadOutFrame = 0;        // absolute lead-out of the whole disc

  // Empty (no tracks) when the table is unusable: no tracks or negative addresses. A track
  // whose successor's address goes back ends where it starts.
  static DiscLayout FromToc(const DiscToc& toc);
  static DiscLayout FromStarts(const std::vector<qint32>& startFrames, qint32 leadOutFrame,
                               const std::vector<int>& dataTrackNumbers = {}, int firstTrack = 1);

  // Position in tracks of the track with this number, -1 when there is none.
  int IndexOf(int trackNumber) const;
  bool IsFirstAudio(int index) const;
  bool IsLastAudio(int index) const;
  int AudioTrackCount() const;
};

// The disc as the checksum database names it: audio track count, two sums of the audio
// tracks' addresses and the CDDB id of the whole disc.
struct AccurateRipDiscId {
  int audioTracks = 0;
  quint32 id1 = 0;
  quint32 id2 = 0;
  quint32 cddbId = 0;

  static AccurateRipDiscId Of(const DiscLayout& disc);
  // "011-001f27c4-010ea9c1-bb12a00c"
  QString Text() const;
  // "4/c/7/dBAR-011-001f27c4-010ea9c1-bb12a00c.bin", below the server's /accuraterip/.
  QString DatabasePath() const;
};

}  // namespace trackmill
