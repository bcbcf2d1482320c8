#pragma once
#include <QString>
#include <optional>
#include <vector>

// A disc as the parity database sees it: the start of every track (audio or data) and the
// lead-out, written as the TOC string "0:16032:...:62810" (data tracks with a leading '-')
// that a lookup sends, and the TOC id the database files its entries under.
//
// The audio the checksums cover (the "stream") runs from INDEX 00 of the first audio track,
// taken as LBA 0 when that is track 1, to the end of the last audio track. A last audio track
// followed by a data track ends 11400 sectors (the gap to the second session) before it.
// A value type; any thread.
namespace trackmill::ctdb {

inline constexpr int kSamplesPerSector = 588;
inline constexpr int kSessionGapSectors = 11400;

struct CtdbTrack {
  int startSector = 0;  // INDEX 01, 0-based LBA
  bool data = false;
};

class CtdbToc {
 public:
  // tracks in disc order; leadOutSector the disc's lead-out.
  CtdbToc(std::vector<CtdbTrack> tracks, int leadOutSector);
  // nullopt for a string that is not a TOC string: no track, a number out of order, audio
  // tracks between data tracks.
  static std::optional<CtdbToc> Parse(const QString& text);

  QString Text() const;  // the TOC string
  QString Id() const;    // 28 characters from the SHA-1 of the audio layout
  // Audio tracks in a run between leading and trailing data tracks; false otherwise.
  bool Valid() const { return audioCount_ > 0; }

  int AudioTrackCount() const { return audioCount_; }
  // Sector bounds of audio track k (0-based among the audio tracks), INDEX 00 gaps belonging to
  // the track before them.
  int AudioStartSector(int k) const { return tracks_[firstAudio_ + k].startSector; }
  int AudioEndSector(int k) const;
  // Stream bounds in samples of audio track k; the first starts at the pregap's end.
  qint64 TrackBeginSample(int k) const;
  qint64 TrackEndSample(int k) const;

  // Where the stream starts: LBA 0 when the first audio track is track 1, else its INDEX 01.
  int StreamStartSector() const;
  qint64 PregapSamples() const;  // P: from the stream's start to INDEX 01 of the first track
  qint64 StreamSamples() const;  // T
  qint64 AudioSamples() const { return StreamSamples() - PregapSamples(); }  // N

  const std::vector<CtdbTrack>& Tracks() const { return tracks_; }
  int LeadOutSector() const { return leadOut_; }

 private:
  std::vector<CtdbTrack> tracks_;
  int leadOut_ = 0;
  int firstAudio_ = 0;
  int audioCount_ = 0;
};

}  // namespace trackmill::ctdb
