# Disc images (cue sheets, cdrdao tables of contents, Nero images) read through the drive
# layer into the track list and sector reads.
trackmill_add_fuzzer(cd_image ${CMAKE_CURRENT_SOURCE_DIR}/cd_image_fuzzer.cpp trackmill_cd)
# CD-Text of cue sheets and cdrdao tables of contents, into the names of an unknown disc.
trackmill_add_fuzzer(cd_text ${CMAKE_CURRENT_SOURCE_DIR}/cd_text_fuzzer.cpp trackmill_cd)
