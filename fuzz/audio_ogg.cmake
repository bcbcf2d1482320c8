# Ogg Vorbis input: whole file in memory through a supplied stream.
trackmill_add_fuzzer(oggin ${CMAKE_CURRENT_LIST_DIR}/OggInFuzzer.cpp trackmill_audio Qt6::Core)
