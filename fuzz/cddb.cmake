# CDDB server replies: query and read replies, the bounded disc entry buffer, xmcd entries.
trackmill_add_fuzzer(cddb_reply ${CMAKE_SOURCE_DIR}/tests/cddb/CddbReplyFuzzer.cpp trackmill_cddb)
# MusicBrainz disc lookup replies (JSON) into the release list and the disc record.
trackmill_add_fuzzer(musicbrainz_reply ${CMAKE_SOURCE_DIR}/tests/cddb/MusicBrainzReplyFuzzer.cpp trackmill_cddb)
# Checksum database replies: the block reader, the sorting for a disc and the verdicts.
trackmill_add_fuzzer(dbar ${CMAKE_SOURCE_DIR}/tests/cddb/DbarReaderFuzzer.cpp trackmill_cddb)
