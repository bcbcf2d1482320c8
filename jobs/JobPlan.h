#pragma once
#include <QString>

#include "common/JobItem.h"

// Where the items of a job go, planned once as the job starts, from the settings it works from.
// A CD track goes to "<OutputFolder>/<folders>/<name>.<ext>" by the output format, folders
// and name made by the file-name pattern of the settings (ExpandFileNamePattern: by default
// the title cleaned by the one name rule, "TrackNN" when nothing is left), the name fitted to
// 255 bytes with its extension; a file item's result takes its source's base name and the
// job's extension, in the output folder (beside the source for the recorder's MP3). Names are
// made distinct within the job in item order (" (2)", " (3)" before the extension), so no
// two items share a file. A CD track's extracted WAV is a part file of the job's own
// (PartFileName) and it gets the disc's fields of the settings. Pure but for the part file
// counter; any thread.
namespace trackmill {

struct TSettings;

void PlanOutputs(JobItems& items, int jobKind, const TSettings& settings);

// A file of this job that becomes (or stands in for) finalPath: ".NAME.EXT.<pid>-<n>.part"
// beside it, n counting in this process, so concurrent jobs (in this process or others) never
// share one. Hidden, so a folder listing shows only finished files.
QString PartFileName(const QString& finalPath);

// The deepest folder that holds every one of files (absolute paths); empty for none.
QString CommonFolder(const QStringList& files);

// The kept copy of a CD track's extracted WAV ("<name>.wav" beside its output).
QString KeptWavName(const JobItem& item);

}  // namespace trackmill
