#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"

namespace trackmill::cli {

int RunCddbCommand(const QStringList& args) { return NotYetAvailable("cddb"); }

}  // namespace trackmill::cli
