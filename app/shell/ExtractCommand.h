#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "app/shell/UserPrompts.h"
#include "cd/TrackList.h"

// The checks of the Extract command and the item list it hands to the job window, and the
// output-folder check that the file jobs share. Main thread only (reads Settings()).
namespace trackmill {

enum class ExtractRoute {
  None,            // a check failed; the user has been told
  JobWindow,       // kind 1 over the open drive handle
  FallbackWindow,  // no handle, but the paranoia input has a drive
};

struct ExtractPlan {
  ExtractRoute route = ExtractRoute::None;
  JobItems items;  // one per checked row
};

// Runs the checks in order, asking through prompts: a checked row; the output folder
// (offering to create it); a drive (fallbackHasDrive is asked only without a handle); a
// length limit that is not 0 seconds; then builds the items.
ExtractPlan PlanExtract(const TrackList& list, const std::function<bool()>& fallbackHasDrive,
                        TUserPrompts& prompts);

// True when the output folder of the settings exists; otherwise tells the user to check
// the setting.
bool CheckOutputFolder(TUserPrompts& prompts);

}  // namespace trackmill
