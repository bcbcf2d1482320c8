#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"

namespace trackmill::cli {

int RunTocCommand(const QStringList& args) { return NotYetAvailable("toc"); }

}  // namespace trackmill::cli
