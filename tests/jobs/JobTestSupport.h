#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "common/JobReports.h"

// Helpers of the job tests: peer tools to make and inspect audio files, and a receiver that
// records the job reports a worker sends it.
namespace trackmill::test {

QString JobTestData(const QString& name);  // a file of tests/jobs/data
QByteArray ReadJobTestData(const QString& name);

// A sine WAV made by sox.
bool MakeWav(const QString& path, double seconds, int rate = 44100, int channels = 2);
// Duration in seconds as ffprobe reports it (-1 on failure).
double ProbeDuration(const QString& path);
// "key=value" lines of ffprobe's format tags and stream codec name.
QString ProbeField(const QString& path, const QString& entries);
// Runs the event loop until done() holds or a generous limit passes; returns done().
bool WaitUntil(const std::function<bool()>& done, int limitMs = 120000);
// True when a process with that id still exists (and is not a zombie).
bool ProcessAlive(qint64 pid);
// Process ids of the running children of this test process.
std::vector<qint64> ChildPids();

class RecordCollector : public QObject {
 public:
  std::vector<JobReport> reports;
  // Called for each report after it is stored (a test may start the next step here).
  std::function<void(const JobReport&)> onReport;

  // The last step end that arrived; null when none did.
  const StepEnded* LastEnd() const;
  bool HasProgress(int percent) const;
  int ProgressCount() const;

 protected:
  bool event(QEvent* event) override;
};

}  // namespace trackmill::test
