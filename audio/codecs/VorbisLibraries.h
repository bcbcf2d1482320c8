#pragma once

// The Ogg and Vorbis libraries are linked with the program. Both Vorbis components still ask
// for them before use, so that a build or an installation that lost one (a stub, a broken
// dynamic binding) fails with the library's own message instead of crashing. Checked in the
// order ogg, vorbis, vorbisfile, vorbisenc; all four are needed by both components.
// Thread-safe.
namespace trackmill {

// Raises EAuException "<name>.dll library could not be loaded." for the first library whose
// entry points are not bound.
void EnsureVorbisLibraries();

}  // namespace trackmill
