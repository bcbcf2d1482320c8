#pragma once
#include <QStringList>

class QWidget;

namespace trackmill {

class CdDrive;
class TJobRunner;

// After a CD rip through the job window: gathers the record of the rip at once (the drive must
// be open and idle; none: no record), looks the disc up in AccurateRip on a worker thread when
// the settings ask for it, then back on the main thread writes the rip log and cue sheet and
// ends the rip without blocking: the summary window (RipSummaryForm, a child of parent that
// replaces the summary of an earlier rip and deletes itself when closed), a desktop
// notification when parent is not the active window, the output folder opened when
// [CommonOptions] OpenFolderAfterRip says so, and a message box only when a track failed or
// the database contradicts a track. Returns at once; the work belongs to parent, and
// destroying parent early waits for the lookup (bounded by its time-outs). Main thread only.
void StartRipResults(QWidget* parent, const TJobRunner& job, const CdDrive* drive, const QStringList& errors);

}  // namespace trackmill
