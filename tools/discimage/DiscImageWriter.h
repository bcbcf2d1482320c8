#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an audio disc image (.cue + .bin) from generated audio, and optionally the audio
// each track must yield when it is extracted, so tests can compare byte for byte.
//
// Layout of the .bin: [hidden audio] track 1, [pregap 2] track 2, ... Each pregap is stored
// in the .bin (cue INDEX 00), so a track as a drive's table of contents delimits it runs from
// its INDEX 01 to the next track's INDEX 01 and includes the following pregap. Hidden audio
// before track 1 belongs to no track.
namespace trackmill::discimage {

inline constexpr int kSectorBytes = 2352;
inline constexpr int kSectorsPerSecond = 75;

// CD-Text of the disc or of a track, UTF-8; written to the cue sheet as CD-Text is stored on
// a disc, in ISO-8859-1 (other characters become "?"). Empty texts are left out.
struct CdTextPlan {
  std::string title;
  std::string performer;
};

struct TrackPlan {
  int64_t sectors = 0;        // audio of the track itself (INDEX 01 onwards)
  int64_t pregapSectors = 0;  // INDEX 00 before it; for track 1 this is hidden audio
  CdTextPlan text;
};

enum class Content {
  kNoise,  // deterministic full-range samples, different for every track and pregap
  kMusic,  // short melodies, a different one per track (demo disc)
};

struct DiscPlan {
  std::vector<TrackPlan> tracks;
  Content content = Content::kNoise;
  int64_t binSectors = -1;  // >= 0: the .bin is cut to this many sectors (read errors)
  CdTextPlan text;
};

// Writes base + ".cue" and base + ".bin"; when expectDir is not empty also
// expectDir/trackNN.pcm with the raw audio each track extracts to (uncut).
// Returns an empty string on success, else the reason.
std::string WriteDiscImage(const DiscPlan& plan, const std::string& base,
                           const std::string& expectDir);

// Parses "N" (sectors) or "Ns" (seconds); -1 when malformed.
int64_t ParseSectors(const std::string& text);

}  // namespace trackmill::discimage
