#include "app/cli/FileJobCommand.h"

#include "app/cli/CommandLine.h"

namespace trackmill::cli {
int RunFileJobCommand(const QString& kind, const QStringList& args) {
  return NotYetAvailable("convert " + kind);
}
}  // namespace trackmill::cli
