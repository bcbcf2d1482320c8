// Measures the ReplayGain of WAV files as a rip does (each track, then the album) and prints it.
// Usage: replaygain_bench FILE.wav...
#include <QCoreApplication>
#include <cstdio>

#include "jobs/ReplayGainMeter.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  trackmill::TReplayGainMeter meter;
  for (int i = 1; i < argc; ++i) {
    const auto gain = meter.MeasureTrack(QString::fromLocal8Bit(argv[i]));
    if (!gain) return std::fprintf(stderr, "%s: no measurable audio\n", argv[i]), 1;
    std::printf("%s: %+.2f dB, peak %.6f\n", argv[i], gain->gainDb, gain->peak);
  }
  if (const auto album = meter.Album()) std::printf("album: %+.2f dB, peak %.6f\n", album->gainDb, album->peak);
  return 0;
}
