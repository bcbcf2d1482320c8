#pragma once
#include <cdio/cdio.h>

#include <cstdint>

// Audio reads of a physical drive with the drive's C2 error pointers, through MMC READ CD
// with the error-flags field. Any thread; the caller serialises the calls on one drive.
namespace trackmill {

// Whether the drive says (in its capabilities page) that it reports C2 pointers.
bool DriveReportsC2(const CdIo_t* cdio);

// Reads count CD-DA sectors from sector first: 2352 bytes each into audio, and their C2
// pointers (kC2BytesPerSector each) into c2. DRIVER_OP_SUCCESS or the command's failure.
driver_return_code_t ReadAudioWithC2(const CdIo_t* cdio, lsn_t first, uint32_t count, uint8_t* audio, uint8_t* c2);

}  // namespace trackmill
