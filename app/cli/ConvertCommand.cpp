#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/FileJobCommand.h"
#include "app/cli/Wav2WavCommand.h"

namespace trackmill::cli {

int RunConvertCommand(const QStringList& args) {
  if (args.isEmpty())
    return Fail("convert needs a conversion: wav2mp3, mp3towav, wav2ogg, wav2wma, wav2flac or wav2wav");
  const QString kind = args.first();
  if (kind == "wav2wav") return RunWav2WavCommand(args.mid(1));
  if (kind == "wav2mp3" || kind == "mp3towav" || kind == "wav2ogg" || kind == "wav2wma" || kind == "wav2flac")
    return RunFileJobCommand(kind, args.mid(1));
  return Fail(QStringLiteral("unknown conversion \"%1\"").arg(kind), 2);
}

}  // namespace trackmill::cli
