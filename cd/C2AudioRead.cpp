#include "cd/C2AudioRead.h"

#include <cdio/device.h>
#include <cdio/mmc.h>
#include <cdio/mmc_ll_cmds.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cd/DriveTypes.h"

namespace trackmill {
namespace {

// Error-flags field 01b: the 294 bytes of C2 pointers follow each sector's audio.
constexpr uint8_t kC2ErrorFlags = 1;
constexpr int kBlockBytes = kCDSectorBytes + kC2BytesPerSector;
// Sectors per command: within the transfer size every Linux SCSI path takes.
constexpr uint32_t kSectorsPerCommand = 24;

}  // namespace

bool DriveReportsC2(const CdIo_t* cdio) {
  cdio_drive_read_cap_t read = 0;
  cdio_drive_write_cap_t write = 0;
  cdio_drive_misc_cap_t misc = 0;
  cdio_get_drive_cap(cdio, &read, &write, &misc);
  return (read & (CDIO_DRIVE_CAP_ERROR | CDIO_DRIVE_CAP_UNKNOWN)) == 0 && (read & CDIO_DRIVE_CAP_READ_C2_ERRS) != 0;
}

driver_return_code_t ReadAudioWithC2(const CdIo_t* cdio, lsn_t first, uint32_t count, uint8_t* audio, uint8_t* c2) {
  std::vector<uint8_t> blocks(size_t(std::min(count, kSectorsPerCommand)) * kBlockBytes);
  for (uint32_t done = 0; done < count;) {
    const uint32_t sectors = std::min(count - done, kSectorsPerCommand);
    const driver_return_code_t rc =
        mmc_read_cd(cdio, blocks.data(), first + lsn_t(done), CDIO_MMC_READ_TYPE_CDDA, false, false, 0, true,
                    false, kC2ErrorFlags, 0, uint16_t(kBlockBytes), sectors);
    if (rc != DRIVER_OP_SUCCESS) return rc;
    for (uint32_t k = 0; k < sectors; ++k) {
      const uint8_t* block = blocks.data() + size_t(k) * kBlockBytes;
      std::memcpy(audio + size_t(done + k) * kCDSectorBytes, block, kCDSectorBytes);
      std::memcpy(c2 + size_t(done + k) * kC2BytesPerSector, block + kCDSectorBytes, kC2BytesPerSector);
    }
    done += sectors;
  }
  return DRIVER_OP_SUCCESS;
}

}  // namespace trackmill
