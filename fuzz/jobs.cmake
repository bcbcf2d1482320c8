# Encoder console output (lame encode/decode, the WMA encoder program).
trackmill_add_fuzzer(lame_output ${CMAKE_SOURCE_DIR}/tests/jobs/LameOutputFuzzer.cpp trackmill_jobs)
