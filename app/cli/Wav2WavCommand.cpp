#include "app/cli/Wav2WavCommand.h"

#include "app/cli/CommandLine.h"

namespace trackmill::cli {
int RunWav2WavCommand(const QStringList& args) { return NotYetAvailable("convert wav2wav"); }
}  // namespace trackmill::cli
