# The Clear History edits of other programs' configuration files.
trackmill_add_fuzzer(clear_history ${CMAKE_SOURCE_DIR}/tests/app/ClearHistoryFuzzer.cpp trackmill_shell)
