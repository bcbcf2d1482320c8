#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"

namespace trackmill::cli {

int RunRipCommand(const QStringList& args) { return NotYetAvailable("rip"); }

}  // namespace trackmill::cli
