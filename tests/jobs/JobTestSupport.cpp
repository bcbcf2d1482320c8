#include "tests/jobs/JobTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <unistd.h>

#include "common/JobEvents.h"
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

bool RecordCollector::HasStatus(qint32 percent) const {
  for (const auto& r : records)
    if (r.Percent == percent) return true;
  return false;
}

const TProcessInfo* RecordCollector::LastStatus() const {
  for (auto it = records.rbegin(); it != records.rend(); ++it)
    if (status::IsStatusValue(it->Percent)) return &*it;
  return nullptr;
}

int RecordCollector::ProgressCount() const {
  int count = 0;
  for (const auto& r : records) count += status::IsStatusValue(r.Percent) ? 0 : 1;
  return count;
}

bool RecordCollector::event(QEvent* event) {
  if (event->type() != JobProgressEvent::EventType()) return QObject::event(event);
  records.push_back(static_cast<JobProgressEvent*>(event)->Info());
  if (onRecord) onRecord(records.back());
  return true;
}

}  // namespace trackmill::test
