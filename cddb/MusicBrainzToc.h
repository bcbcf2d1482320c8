#pragma once
#include <QString>
#include <vector>

#include "cd/Drive.h"

// The table of contents as the MusicBrainz web service names a disc: the audio session's
// first and last track, their start addresses and the session's lead-out, with the disc id
// worked out from them through libdiscid. Plain values, safe to copy between threads.
namespace trackmill {

struct MusicBrainzToc {
  int firstTrack = 0;
  int lastTrack = 0;
  std::vector<qint32> startFrames;  // of tracks firstTrack..lastTrack, counted with the lead-in
  qint32 leadOutFrame = 0;
  QString discId;   // 28 characters; empty when the table cannot name a disc
  QString tocText;  // "first last lead-out offsets..." joined by "+", for the toc= query
};

// startFrames: every track of the disc in order from firstTrack, data tracks included,
// dataTrack: which of them hold data, leadOutFrame: the lead-out of the whole disc. A data
// track after the audio (an enhanced disc) is left out and ends the audio session
// kSessionGapFrames before it starts; a data track first (mixed mode) stays.
MusicBrainzToc MakeMusicBrainzToc(int firstTrack, const std::vector<qint32>& startFrames,
                                  const std::vector<bool>& dataTrack, qint32 leadOutFrame);
// The same from a table read in minute/second/frame form.
MusicBrainzToc MusicBrainzTocFromToc(const DiscToc& toc);

}  // namespace trackmill
