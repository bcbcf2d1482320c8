// The cost of the parity database's sums during a rip: prints the processor time of the
// column syndromes and CRCs over a disc of generated audio beside that of a FLAC -5 encode of
// the same audio, and their ratio.
//   ctdb_bench [MINUTES]   (default 74)
#include <FLAC/stream_encoder.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "verify/ctdb/CtdbStreamSums.h"

using namespace trackmill::ctdb;

namespace {

double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// Quiet noise over a slow tone, roughly as compressible as music.
void Generate(std::vector<int16_t>& samples, uint32_t& seed, int64_t& phase) {
  for (size_t i = 0; i < samples.size(); i += 2, ++phase) {
    seed = seed * 1664525u + 1013904223u;
    const int tone = int((phase * 37) % 20000) - 10000;
    samples[i] = int16_t(tone + int(seed >> 22) - 512);
    samples[i + 1] = int16_t(tone / 2 + int((seed >> 12) & 1023) - 512);
  }
}

FLAC__StreamEncoderWriteStatus Discard(const FLAC__StreamEncoder*, const FLAC__byte[], size_t,
                                       uint32_t, uint32_t, void*) {
  return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

}  // namespace

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 74;
  const int sectors = minutes * 60 * 75;
  const CtdbToc toc({{0, false}}, sectors);
  constexpr size_t kChunkSamples = 588 * 25;
  std::vector<int16_t> chunk(2 * kChunkSamples);
  std::vector<FLAC__int32> wide(chunk.size());

  CtdbStreamSums sums(toc);
  FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
  FLAC__stream_encoder_set_channels(encoder, 2);
  FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
  FLAC__stream_encoder_set_sample_rate(encoder, 44100);
  FLAC__stream_encoder_set_compression_level(encoder, 5);
  FLAC__stream_encoder_init_stream(encoder, Discard, nullptr, nullptr, nullptr, nullptr);

  double sumSeconds = 0, flacSeconds = 0;
  uint32_t seed = 1;
  int64_t phase = 0;
  for (int64_t done = 0; done < toc.StreamSamples(); done += kChunkSamples) {
    Generate(chunk, seed, phase);
    double start = CpuSeconds();
    sums.Add(reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size() * 2);
    sumSeconds += CpuSeconds() - start;
    start = CpuSeconds();
    for (size_t i = 0; i < chunk.size(); ++i) wide[i] = chunk[i];
    FLAC__stream_encoder_process_interleaved(encoder, wide.data(), kChunkSamples);
    flacSeconds += CpuSeconds() - start;
  }
  double start = CpuSeconds();
  sums.Finish();
  sumSeconds += CpuSeconds() - start;
  FLAC__stream_encoder_finish(encoder);
  FLAC__stream_encoder_delete(encoder);
  std::printf("%d minutes: parity sums %.2f s, FLAC -5 %.2f s, overhead %.1f %%\n", minutes,
              sumSeconds, flacSeconds, 100.0 * sumSeconds / flacSeconds);
  return 0;
}
