# Sample converters, Ogg Vorbis input/output and the wave file conversion.
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET ogg vorbis vorbisenc vorbisfile)
list(APPEND AUDIO_DSP_SOURCES
  SampleFormat.cpp
  ChebyshevLowPass.cpp
  BlockResampler.cpp
  BalanceLaw.cpp
  FastResampler.cpp
  AudioConverter.cpp
  StereoBalance.cpp
  VorbisBitRate.cpp
  VorbisLibraries.cpp
  VorbisEncoder.cpp
  VorbisDecoder.cpp
  VorbisOut.cpp
  VorbisIn.cpp
  WaveFileConversion.cpp
)
list(APPEND AUDIO_LIBS PkgConfig::VORBIS)
