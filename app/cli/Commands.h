#pragma once
#include <QStringList>

// Headless commands of `trackmill COMMAND ...`. Each gets the arguments after its own name,
// runs on the main thread of a QCoreApplication, prints to stdout/stderr and returns the
// process exit code (0 on success).
namespace trackmill::cli {

int RunTagCommand(const QStringList& args);
int RunTocCommand(const QStringList& args);
int RunRipCommand(const QStringList& args);
int RunConvertCommand(const QStringList& args);
int RunCddbCommand(const QStringList& args);
int RunMusicBrainzCommand(const QStringList& args);
int RunOffsetCommand(const QStringList& args);
int RunPlayCommand(const QStringList& args);
int RunRecordCommand(const QStringList& args);

}  // namespace trackmill::cli
