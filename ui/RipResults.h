#pragma once
#include <QStringList>

class QWidget;

namespace trackmill {

class CdDrive;
class TJobRunner;

// After a CD rip through the job window: gathers the record of the rip at once (the drive must
// be open and idle; none: no record), looks the disc up in AccurateRip on a worker thread when the settings ask
// for it, then back on the main thread writes the rip log and cue sheet and shows the per-track
// verdicts and the summary in one message box over parent. Returns at once; the work belongs to
// parent, and destroying parent early waits for the lookup (bounded by its time-outs). Main
// thread only.
void StartRipResults(QWidget* parent, const TJobRunner& job, const CdDrive* drive, const QStringList& errors);

}  // namespace trackmill
