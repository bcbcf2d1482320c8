#pragma once
#include <QStringList>

namespace trackmill::cli {
// `trackmill convert wav2wav IN OUT [--rate HZ] [--channels 1|2] [--bits N] [--encoding E]`
int RunWav2WavCommand(const QStringList& args);
}  // namespace trackmill::cli
