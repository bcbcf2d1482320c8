#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Paths and helpers that tests share: the built programs, test data and running peer tools.
namespace trackmill::test {

QString BinaryDir();        // the build tree
QString TrackmillProgram();  // the built `trackmill`
QString ToolProgram(const QString& name);  // a program built in tools/
QString TestDataDir();      // tests/data in the source tree

struct ProcessResult {
  int exitCode = -1;  // -1 when it could not start or crashed
  QByteArray out;
  QByteArray err;
};
// Runs a program with an argument vector (no shell), waiting up to timeoutMs. Peer tools (any
// program not built in this tree) run under the C.UTF-8 locale; ours under the caller's.
ProcessResult RunProgram(const QString& program, const QStringList& args, int timeoutMs = 120000);
// The container's tags of a media file as ffprobe reads them; empty when it cannot.
QJsonObject ProbeFormatTags(const QString& path);
// True when the peer tool is on PATH (tests that need it skip otherwise).
bool HaveProgram(const QString& name);

// The whole file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Replaces the file's contents; false when it cannot be written in full.
bool WriteBytes(const QString& path, const QByteArray& bytes);

}  // namespace trackmill::test
