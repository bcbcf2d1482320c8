#include "tests/support/TestPaths.h"

#include <QProcess>
#include <QStandardPaths>

namespace trackmill::test {

QString BinaryDir() { return QStringLiteral(TRACKMILL_BINARY_DIR); }
QString TrackmillProgram() { return BinaryDir() + "/bin/trackmill"; }
QString ToolProgram(const QString& name) { return BinaryDir() + "/bin/" + name; }
QString TestDataDir() { return QStringLiteral(TRACKMILL_TEST_DATA_DIR); }

ProcessResult RunProgram(const QString& program, const QStringList& args, int timeoutMs) {
  ProcessResult result;
  QProcess process;
  process.start(program, args);
  if (!process.waitForStarted(10000)) return result;
  process.closeWriteChannel();
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  if (process.exitStatus() == QProcess::NormalExit) result.exitCode = process.exitCode();
  return result;
}

bool HaveProgram(const QString& name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

}  // namespace trackmill::test
