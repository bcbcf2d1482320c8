# ID3v1 tag reader on the end of a file (with a render and read-back check).
trackmill_add_fuzzer(id3tag_read ${CMAKE_SOURCE_DIR}/tests/tags/Id3TagFuzzer.cpp trackmill_tags)
# ID3v2 tag reader on a memory device (with a render and read-back check), plus the ID3v1
# block reader of the containers.
trackmill_add_fuzzer(id3v2_read ${CMAKE_SOURCE_DIR}/tests/tags/Id3v2ReadFuzzer.cpp trackmill_tags)
