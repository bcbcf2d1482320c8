# Disc images (cue sheets, cdrdao tables of contents, Nero images) read through the drive
# layer into the track list (named from CD-Text), the CD-Text reader and sector reads.
trackmill_add_fuzzer(cd_image ${CMAKE_CURRENT_SOURCE_DIR}/cd_image_fuzzer.cpp trackmill_cd)
