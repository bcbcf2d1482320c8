#pragma once
class QIODevice;

// The layout of a Nero (.nrg) image as libcdio reads it: the audio first, then a list of
// chunks (four-letter name, big-endian 32-bit length, body) up to "END!", and a footer at the
// very end giving the list's offset ("NER5" and 64 bits, or the older "NERO" and 32 bits).
namespace trackmill {

// False for an image whose chunk list libcdio 2.1 would read past (an offset outside the
// file, a chunk running past the list, no "END!") or whose track entries overflow its track
// table (more than 99 tracks over all its chunks, or a track range that is empty or leaves
// 1..99), or whose CD-Text does not parse (libcdio then frees it twice). True for a file without
// a Nero footer: libcdio refuses those on its own. Reads only the footer and the list (at most
// 1 MiB, more is refused) from the open, seekable image.
bool NeroImageFitsReader(QIODevice& image);

}  // namespace trackmill
