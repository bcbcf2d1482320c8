#pragma once
#include "cd/CDRecords.h"
#include "cddb/CddbToc.h"
#include "cddb/DriveCddb.h"

// The bridge from the drive layer's table of contents to a CDDB lookup.
namespace trackmill {

// The tracks and lead-out of a table read with minute/second/frame addresses; an invalid
// CddbToc (no tracks) when the table is not usable.
CddbToc CddbTocFromTOC(const TTOC& toc);

}  // namespace trackmill
