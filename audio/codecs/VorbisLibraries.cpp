#include "audio/codecs/VorbisLibraries.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include "audio/core/AuException.h"

namespace trackmill {

namespace {

// Read through a volatile so the check survives optimisation.
template <typename F>
bool Bound(F* function) {
  F* volatile address = function;
  return address != nullptr;
}

}  // namespace

void EnsureVorbisLibraries() {
  if (!Bound(&ogg_stream_init) || !Bound(&ogg_sync_init) || !Bound(&ogg_stream_pageout))
    throw EAuException("ogg.dll library could not be loaded.");
  if (!Bound(&vorbis_info_init) || !Bound(&vorbis_analysis_init) || !Bound(&vorbis_synthesis))
    throw EAuException("vorbis.dll library could not be loaded.");
  if (!Bound(&ov_test_callbacks) || !Bound(&ov_read) || !Bound(&ov_pcm_seek))
    throw EAuException("vorbisfile.dll library could not be loaded.");
  if (!Bound(&vorbis_encode_init) || !Bound(&vorbis_encode_setup_vbr) || !Bound(&vorbis_encode_setup_init))
    throw EAuException("vorbisenc.dll library could not be loaded.");
}

}  // namespace trackmill
