#pragma once
#include "common/JobItem.h"

// Where the items of a job go, planned once as the job starts, from the settings it works from.
// A CD track goes to "<OutputFolder>/<title>.wav", encoded beside it by the output format's
// extension; a file item's result takes its source's base name and the job's extension, in the
// output folder (beside the source for the recorder's MP3). A CD track also gets the disc's
// fields of the settings. Pure; any thread.
namespace trackmill {

struct TSettings;

void PlanOutputs(JobItems& items, int jobKind, const TSettings& settings);

}  // namespace trackmill
