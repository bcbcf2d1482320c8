# Pipeline core, WAV input and output, MP3-in-WAV decoding.
list(APPEND AUDIO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AuEvent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuStreamedInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuFileIn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EventHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuStreamedOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuFileOut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuFileStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AuException.h
  ${CMAKE_CURRENT_LIST_DIR}/LittleEndian.h
  ${CMAKE_CURRENT_LIST_DIR}/WavFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImaAdpcm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MsAdpcm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveIn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveOut.cpp
)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
list(APPEND AUDIO_LIBS PkgConfig::MPG123)
