#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"

namespace trackmill::cli {

int RunTagCommand(const QStringList& args) { return NotYetAvailable("tag"); }

}  // namespace trackmill::cli
