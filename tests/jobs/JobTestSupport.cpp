#include "tests/jobs/JobTestSupport.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <unistd.h>

#include "tests/support/TestPaths.h"

namespace trackmill::test {

QString JobTestData(const QString& name) {
  return QStringLiteral(TRACKMILL_SOURCE_DIR) + "/tests/jobs/data/" + name;
}

QByteArray ReadJobTestData(const QString& name) { return ReadBytes(JobTestData(name)); }

bool MakeWav(const QString& path, double seconds, int rate, int channels) {
  const auto result = RunProgram("sox", {"-n", "-r", QString::number(rate), "-c",
                                         QString::number(channels), "-b", "16", path, "synth",
                                         QString::number(seconds), "sine", "440"});
  return result.exitCode == 0;
}

double ProbeDuration(const QString& path) {
  const auto result = RunProgram("ffprobe", {"-v", "error", "-show_entries", "format=duration",
                                             "-of", "default=nw=1:nk=1", path});
  bool ok = false;
  const double value = QString::fromUtf8(result.out).trimmed().toDouble(&ok);
  return result.exitCode == 0 && ok ? value : -1;
}

QString ProbeField(const QString& path, const QString& entries) {
  const auto result = RunProgram("ffprobe", {"-v", "error", "-show_entries", entries, "-of",
                                             "default=nw=1", path});
  return QString::fromUtf8(result.out);
}

bool WaitUntil(const std::function<bool()>& done, int limitMs) {
  QDeadlineTimer deadline(limitMs);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  return done();
}

bool ProcessAlive(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray text = stat.readAll();
  const qsizetype close = text.lastIndexOf(')');
  return close < 0 || close + 2 >= text.size() || text.at(close + 2) != 'Z';
}

std::vector<qint64> ChildPids() {
  std::vector<qint64> pids;
  const QString self = QString::number(getpid());
  for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool numeric = false;
    const qint64 pid = entry.toLongLong(&numeric);
    if (!numeric) continue;
    QFile stat("/proc/" + entry + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0) continue;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // Fields after the name: state, parent id, ...
    if (fields.size() > 1 && fields.at(1) == self.toUtf8() && fields.at(0) != "Z")
      pids.push_back(pid);
  }
  return pids;
}

const StepEnded* RecordCollector::LastEnd() const {
  for (auto it = reports.rbegin(); it != reports.rend(); ++it)
    if (const auto* end = std::get_if<StepEnded>(&*it)) return end;
  return nullptr;
}

bool RecordCollector::HasProgress(int percent) const {
  return std::any_of(reports.begin(), reports.end(), [percent](const JobReport& report) {
    const auto* progress = std::get_if<StepProgress>(&report);
    return progress && progress->percent == percent;
  });
}

int RecordCollector::ProgressCount() const {
  return int(std::count_if(reports.begin(), reports.end(),
                           [](const JobReport& report) { return std::holds_alternative<StepProgress>(report); }));
}

bool RecordCollector::event(QEvent* event) {
  if (event->type() != JobReportEvent::EventType()) return QObject::event(event);
  reports.push_back(static_cast<JobReportEvent*>(event)->Report());
  if (onReport) onReport(reports.back());
  return true;
}

}  // namespace trackmill::test
