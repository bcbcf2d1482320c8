#pragma once
#include "audio/codecs/FlacOut.h"
#include "common/JobReports.h"
#include "settings/Settings.h"

// How a job sets up the audio pipeline's steps: resampling a WAV below 44100 Hz for the MP3
// and Ogg Vorbis encoders, and the Ogg Vorbis encoder's quality, bit rates and comments from
// the settings. Pure set-up; main thread.
namespace trackmill {

class TWaveIn;
class TFastResampler;
class TWaveOut;
class TVorbisOut;
class TVorbisTags;
class TAuOutput;

// Chains in -> resampler -> out so that out writes what in reads as a 44100 Hz PCM WAV.
void SetUpResampling(TWaveIn& in, TFastResampler& resampler, TWaveOut& out);
// The MP3 and Ogg Vorbis encoders take a valid WAV below 44100 Hz only once resampled.
bool NeedsResampling(TWaveIn& in);
// lame misreads float WAVs (far too loud, clipped): they go to it through the same stage, as PCM.
bool IsFloatWav(TWaveIn& in);
// The rate that stage writes: 44100 Hz, or the input's own when higher.
quint32 ResampledRate(TWaveIn& in);
// Compression of the Ogg output from the settings (quality mode).
float OggQuality(const TSettings& settings = Settings());
// Quality or bit rates of an Ogg encode from the settings.
void ApplyOggEncoding(TVorbisOut& out, const TSettings& settings);
void SetVorbisComments(TVorbisTags& tags, const FlacComments& comments);
// The end of an output's run, with its failure.
StepEnded EndOf(JobStep step, const TAuOutput& output);

}  // namespace trackmill
