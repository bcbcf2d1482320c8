# Sample converters, Ogg Vorbis input/output and the wave file conversion.
trackmill_add_test(audio_converters_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SampleFormat_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FastResampler_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioConverter_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StereoBalance_test.cpp
  LIBS trackmill_audio)
trackmill_add_test(audio_vorbis_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VorbisBitRate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VorbisFiles_test.cpp
  LIBS trackmill_audio
  LABELS threads)
trackmill_add_test(audio_wavconvert_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WaveFileConversion_test.cpp
  LIBS trackmill_audio
  LABELS threads)
trackmill_add_test(audio_wav2wav_command_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Wav2WavCommand_test.cpp
  DEPENDS trackmill)
