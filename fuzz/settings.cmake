# The INI reader behind options.ini, cdinfo.dat and the language files.
trackmill_add_fuzzer(ini ${CMAKE_SOURCE_DIR}/tests/settings/IniFileFuzzer.cpp trackmill_settings)
