# The INI reader behind options.ini, cdinfo.dat and the language files.
trackmill_add_fuzzer(ini ${CMAKE_CURRENT_LIST_DIR}/IniFileFuzzer.cpp trackmill_settings)
