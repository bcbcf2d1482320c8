#pragma once
#include <QtGlobal>
#include <cstddef>
#include <cstdint>

// The checksums by which a rip is compared with other people's rips of the same pressing:
// v1 and v2 over a track's samples, and the checksum of its sector 450 that reveals a read
// offset. A stereo sample counts as one 32-bit little-endian word (left low, right high),
// weighted by its 1-based position in the track. The disc's first track leaves out its first
// five sectors less one sample, its last track the last five sectors, where drives disagree.
//
// AccurateRipSum is fed a track's audio in order, in any pieces; one owner, any thread. It
// also takes the plain CRC-32 of all the audio, which the rip log shows.
namespace trackmill {

inline constexpr int kSamplesPerSector = 588;
inline constexpr int kChecksumSector = 450;

struct AccurateRipChecksums {
  quint32 v1 = 0;
  quint32 v2 = 0;
  quint32 frame450 = 0;
  quint32 crc32 = 0;   // of every byte of the audio, edges included
  bool valid = false;  // the whole track was summed
};

class AccurateRipSum {
 public:
  // trackSamples: the track's length in stereo samples; first/last: its place among the disc's
  // audio tracks.
  AccurateRipSum(qint64 trackSamples, bool firstTrack, bool lastTrack);

  // 16-bit stereo PCM; a trailing partial sample is kept until the next call completes it.
  void Add(const uint8_t* pcm, size_t bytes);
  // valid once exactly trackSamples samples were added.
  AccurateRipChecksums Result() const;

 private:
  void AddSamples(const uint8_t* pcm, qint64 count);

  qint64 trackSamples_;
  qint64 firstCounted_;  // 1-based positions counted: firstCounted_ .. lastCounted_
  qint64 lastCounted_;
  qint64 position_ = 0;  // samples seen
  quint32 v1_ = 0;
  quint32 v2High_ = 0;
  quint32 frame450_ = 0;
  unsigned long crc32_ = 0;
  uint8_t partial_[4] = {};
  size_t partialBytes_ = 0;
};

// The sector-450 checksum of 588 samples that start at samples[0].
quint32 Frame450Checksum(const quint32* samples);

}  // namespace trackmill
