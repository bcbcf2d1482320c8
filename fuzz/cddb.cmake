# CDDB server replies: query and read replies, the bounded disc entry buffer, xmcd entries.
trackmill_add_fuzzer(cddb_reply ${CMAKE_SOURCE_DIR}/tests/cddb/CddbReplyFuzzer.cpp trackmill_cddb)
