# TWaveIn over a whole file in memory: every WAV type the reader knows.
trackmill_add_fuzzer(wavein ${CMAKE_CURRENT_LIST_DIR}/audio_wav_fuzzer.cpp trackmill_audio)
