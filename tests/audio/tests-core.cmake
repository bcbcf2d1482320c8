# Pipeline core, WAV input and output, MP3-in-WAV decoding.
add_library(trackmill_audio_core_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/CoreTestSupport.cpp)
target_link_libraries(trackmill_audio_core_test_support PUBLIC trackmill_test_main trackmill_audio)
target_include_directories(trackmill_audio_core_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/tests)

trackmill_add_test(audio_pipeline_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AuOutput_test.cpp
  LIBS trackmill_audio_core_test_support
  LABELS threads)

trackmill_add_test(audio_wavein_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WaveIn_test.cpp ${CMAKE_CURRENT_LIST_DIR}/WaveInDefects_test.cpp
  LIBS trackmill_audio_core_test_support)

# Not labelled "threads": it starts sox and ffprobe, and the thread checker cannot follow a
# process that forks while threads run. The run protocol is checked under it by
# audio_pipeline_test.
trackmill_add_test(audio_waveout_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WaveOut_test.cpp
  LIBS trackmill_audio_core_test_support)

trackmill_add_test(audio_waveconverter_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WaveConverter_test.cpp
  LIBS trackmill_audio_core_test_support)
