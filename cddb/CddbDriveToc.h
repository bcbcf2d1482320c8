#pragma once
#include "cd/Drive.h"
#include "cddb/CddbToc.h"
#include "cddb/DriveCddb.h"

// The bridge from the drive layer's table of contents to a CDDB lookup.
namespace trackmill {

// The tracks and lead-out of a disc's table of contents; an invalid CddbToc (no tracks) when
// the table is not usable.
CddbToc CddbTocFromToc(const DiscToc& toc);

}  // namespace trackmill
