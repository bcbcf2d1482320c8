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
)
