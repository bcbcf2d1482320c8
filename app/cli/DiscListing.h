#pragma once
#include "cd/TrackList.h"

// Prints the disc's record after a lookup: the album fields, then each row's number and title
// (with its own artist when it has one). Shared by the lookup commands.
namespace trackmill::cli {

void PrintDiscRecord(const TrackList& list);

}  // namespace trackmill::cli
