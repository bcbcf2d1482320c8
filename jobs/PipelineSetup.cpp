#include "jobs/PipelineSetup.h"

#include <algorithm>

#include "audio/codecs/VorbisBitRate.h"
#include "audio/codecs/VorbisOut.h"
#include "audio/dsp/FastResampler.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"
#include "jobs/JobTexts.h"

namespace trackmill {
namespace {

constexpr int kCdSampleRate = 44100;

// The Vorbis bit rate of an Ogg list position (0 automatic).
TVorbisBitRate OggBitRateOfPosition(int position) {
  const int kbps = OggBitRateKbps(position);
  if (kbps <= 0) return TVorbisBitRate::brAutoSelect;
  for (int at = 1; at <= static_cast<int>(TVorbisBitRate::bitrate499); ++at)
    if (VorbisBitRateValue(VorbisBitRateAt(at)) == kbps * 1000) return VorbisBitRateAt(at);
  return TVorbisBitRate::brAutoSelect;
}

}  // namespace

void SetUpResampling(TWaveIn& in, TFastResampler& resampler, TWaveOut& out) {
  resampler.SetInput(&in);
  resampler.SetOutSampleRate(kCdSampleRate);
  out.SetInput(&resampler);
  out.SetWavType(TWavType::wtPCM);
  out.SetBlockSize(512);
  out.SetCreateNonMsHeaders(true);
  out.SetFileMode(TFileOutputMode::foRewrite);
}

bool NeedsResampling(TWaveIn& in) { return in.Valid() && in.GetSampleRate() < kCdSampleRate; }

bool IsFloatWav(TWaveIn& in) {
  return in.Valid() && (in.WavType() == TWavType::wtIEEEFloat || in.WavType() == TWavType::wtExtIEEEFloat);
}

quint32 ResampledRate(TWaveIn& in) { return quint32(std::max(kCdSampleRate, in.GetSampleRate())); }

float OggQuality(const TSettings& settings) {
  return settings.IsUseCompress ? (settings.CompressPosition - 10) / 100.0f : 0.2f;
}

void ApplyOggEncoding(TVorbisOut& out, const TSettings& settings) {
  out.SetCompression(OggQuality(settings));
  if (settings.IsUseCompress) {
    out.SetDesiredNominalBitrate(TVorbisBitRate::brAutoSelect);
    out.SetMinimumBitrate(TVorbisBitRate::brAutoSelect);
  } else {
    // The nominal rate first: the other two are taken only relative to it.
    out.SetDesiredNominalBitrate(OggBitRateOfPosition(settings.OggNominalBitRate));
    out.SetDesiredMaximumBitrate(OggBitRateOfPosition(settings.OggMaxBitRate));
    out.SetMinimumBitrate(OggBitRateOfPosition(settings.OggMinBitRate));
  }
}

void SetVorbisComments(TVorbisTags& tags, const FlacComments& comments) {
  tags.Clear();
  // Names outside the container's set (TRACKTOTAL) are left out.
  for (const auto& [name, value] : comments)
    tags.SetValue(QString::fromUtf8(name).toLower(), TagValue::Wide(QString::fromUtf8(value)));
}

StepEnded EndOf(JobStep step, const TAuOutput& output) {
  const QString failure = output.ExceptionMessage();
  return {step, failure.isEmpty() ? StepOutcome::Done : StepOutcome::Failed, failure};
}

}  // namespace trackmill
