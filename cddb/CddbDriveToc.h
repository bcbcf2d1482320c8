#pragma once
#include "cd/CDRecords.h"
#include "cddb/CddbToc.h"
#include "cddb/DriveCddb.h"

// The bridge from the drive layer's table of contents to a CDDB lookup.
namespace trackmill {

// The tracks and lead-out of a table read with minute/second/frame addresses; an invalid
// CddbToc (no tracks) when the table is not usable.
CddbToc CddbTocFromTOC(const TTOC& toc);

// CDDBQuery for the disc in an open drive: sets minute/second/frame addressing, reads the
// table of contents and queries it. Fails with kCddbErrorBadToc when the table cannot be read.
// Not to be called while the extraction thread uses the handle.
int CDDBQuery(TCDHandle handle, TCDDBQuery& query);

}  // namespace trackmill
