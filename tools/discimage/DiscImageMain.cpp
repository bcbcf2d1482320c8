// discimage: writes an audio disc image (.cue/.bin) from generated audio.
//
//   discimage --out BASE --track LEN[:PREGAP] [--track ...] [--music]
//             [--bin-sectors N] [--expect DIR] [--title T] [--performer P]
//
// LEN and PREGAP are sectors, or seconds with an "s" suffix (75 sectors a second). The pregap
// of track 1 is hidden audio: track 1 then starts later than 00:02:00. --bin-sectors cuts the
// .bin so that reads beyond it fail. --expect writes DIR/trackNN.pcm, the raw audio that
// extracting each track must give. --title and --performer are CD-Text: of the disc before
// the first --track, of the track before them otherwise.
#include <cstdio>
#include <cstring>
#include <string>

#include "DiscImageWriter.h"

using namespace trackmill::discimage;

namespace {
int Usage(const char* why) {
  std::fprintf(stderr, "discimage: %s\nusage: discimage --out BASE --track LEN[:PREGAP] ... "
               "[--music] [--bin-sectors N] [--expect DIR] [--title T] [--performer P]\n", why);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  DiscPlan plan;
  std::string base, expectDir;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--music") {
      plan.content = Content::kMusic;
    } else if (arg == "--out" && hasValue) {
      base = argv[++i];
    } else if (arg == "--expect" && hasValue) {
      expectDir = argv[++i];
    } else if (arg == "--bin-sectors" && hasValue) {
      plan.binSectors = ParseSectors(argv[++i]);
      if (plan.binSectors < 0) return Usage("bad --bin-sectors value");
    } else if ((arg == "--title" || arg == "--performer") && hasValue) {
      CdTextPlan& text = plan.tracks.empty() ? plan.text : plan.tracks.back().text;
      (arg == "--title" ? text.title : text.performer) = argv[++i];
    } else if (arg == "--track" && hasValue) {
      const std::string spec = argv[++i];
      const auto colon = spec.find(':');
      TrackPlan track;
      track.sectors = ParseSectors(spec.substr(0, colon));
      if (colon != std::string::npos) track.pregapSectors = ParseSectors(spec.substr(colon + 1));
      if (track.sectors <= 0 || track.pregapSectors < 0) return Usage("bad --track value");
      plan.tracks.push_back(track);
    } else {
      return Usage(("unknown or incomplete argument " + arg).c_str());
    }
  }
  if (base.empty()) return Usage("--out is required");
  const std::string error = WriteDiscImage(plan, base, expectDir);
  if (!error.empty()) {
    std::fprintf(stderr, "discimage: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
