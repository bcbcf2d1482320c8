#include "jobs/ReplayGainMeter.h"

#include <ebur128.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "audio/wav/WaveIn.h"

namespace trackmill {
namespace {

constexpr int kChunkBytes = 1 << 16;

// Adds interleaved little-endian PCM of the given width to the measurement as 32-bit values.
void AddFrames(ebur128_state* state, const char* data, int byteCount, int bitsPerSample, int channels,
               std::vector<int>& scratch) {
  const int sampleBytes = bitsPerSample / 8;
  const int samples = byteCount / sampleBytes / channels * channels;
  scratch.resize(static_cast<size_t>(samples));
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  for (int i = 0; i < samples; ++i) {
    const unsigned char* at = bytes + static_cast<ptrdiff_t>(i) * sampleBytes;
    quint32 value = 0;
    if (sampleBytes == 1) {
      value = static_cast<quint32>(at[0] ^ 0x80) << 24;  // 8-bit WAV samples are unsigned
    } else {
      for (int b = 0; b < sampleBytes; ++b) value |= static_cast<quint32>(at[b]) << (32 - 8 * (sampleBytes - b));
    }
    scratch[static_cast<size_t>(i)] = static_cast<int>(value);
  }
  ebur128_add_frames_int(state, scratch.data(), static_cast<size_t>(samples / channels));
}

double SamplePeak(ebur128_state* state, unsigned channels) {
  double peak = 0;
  for (unsigned c = 0; c < channels; ++c) {
    double value = 0;
    if (ebur128_sample_peak(state, c, &value) == EBUR128_SUCCESS) peak = std::max(peak, value);
  }
  return peak;
}

}  // namespace

struct TReplayGainMeter::TrackState {
  explicit TrackState(ebur128_state* measurement) : state(measurement) {}
  ~TrackState() {
    if (state) ebur128_destroy(&state);
  }
  TrackState(const TrackState&) = delete;
  TrackState& operator=(const TrackState&) = delete;
  ebur128_state* state;
  GainAndPeak gain{};
};

TReplayGainMeter::TReplayGainMeter() = default;
TReplayGainMeter::~TReplayGainMeter() = default;

std::shared_ptr<TReplayGainMeter::TrackState> TReplayGainMeter::Measure(const QString& wavPath) {
  TWaveIn in;
  in.SetFileName(wavPath);
  if (!in.Valid()) return nullptr;
  const int bits = in.GetBitsPerSample();
  const int channels = in.GetChannels();
  if (channels < 1 || (bits != 8 && bits != 16 && bits != 24 && bits != 32)) return nullptr;
  auto track = std::make_shared<TrackState>(ebur128_init(
      static_cast<unsigned>(channels), static_cast<unsigned long>(in.GetSampleRate()),
      EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
  ebur128_state* state = track->state;
  if (!state) return nullptr;
  std::vector<char> buffer(kChunkBytes);
  std::vector<int> scratch;
  try {
    in.Init();
    for (bool end = false; !end;) {
      const int got = in.FillBuffer(buffer.data(), kChunkBytes, end);
      if (got > 0) AddFrames(state, buffer.data(), got, bits, channels, scratch);
    }
    in.Flush();
  } catch (const std::exception&) {
    return nullptr;  // a file the encoder read can still fail here; it just gets no gain
  }
  double loudness = 0;
  if (ebur128_loudness_global(state, &loudness) != EBUR128_SUCCESS || !std::isfinite(loudness))
    return nullptr;  // silence has no integrated loudness
  track->gain = {kReplayGainReferenceLufs - loudness, SamplePeak(state, static_cast<unsigned>(channels))};
  return track;
}

std::optional<GainAndPeak> TReplayGainMeter::AddTrack(std::shared_ptr<TrackState> track) {
  if (!track) return std::nullopt;
  const GainAndPeak gain = track->gain;
  albumPeak_ = std::max(albumPeak_, gain.peak);
  tracks_.push_back(std::move(track));
  return gain;
}

std::optional<GainAndPeak> TReplayGainMeter::Album() const {
  if (tracks_.empty()) return std::nullopt;
  std::vector<ebur128_state*> states;
  for (const auto& track : tracks_) states.push_back(track->state);
  double loudness = 0;
  if (ebur128_loudness_global_multiple(states.data(), states.size(), &loudness) != EBUR128_SUCCESS ||
      !std::isfinite(loudness))
    return std::nullopt;
  return GainAndPeak{kReplayGainReferenceLufs - loudness, albumPeak_};
}

void TReplayGainMeter::Clear() {
  tracks_.clear();
  albumPeak_ = 0;
}

}  // namespace trackmill
