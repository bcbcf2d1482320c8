#include "app/cli/Wav2WavCommand.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <csignal>

#include "app/cli/CommandLine.h"
#include "app/cli/TerminalProgress.h"
#include "audio/core/AuException.h"
#include "audio/dsp/WaveFileConversion.h"
#include "settings/LangString.h"

namespace trackmill::cli {

namespace {

// Reads "--name N" as one of the allowed whole numbers (any positive one when allowed is
// empty); keeps the default when the option is absent.
bool TakeNumber(QStringList& args, const QString& name, const QList<int>& allowed, int& value, QString& error) {
  bool present = true;
  const QString text = TakeOption(args, name, &present);
  if (!present) {
    error = QStringLiteral("%1 needs a value").arg(name);
    return false;
  }
  if (text.isEmpty()) return true;
  bool ok = false;
  const int number = text.toInt(&ok);
  if (!ok || number <= 0 || (!allowed.isEmpty() && !allowed.contains(number))) {
    error = QStringLiteral("%1 does not take \"%2\"").arg(name, text);
    return false;
  }
  value = number;
  return true;
}

}  // namespace

int RunWav2WavCommand(const QStringList& arguments) {
  QStringList args = arguments;
  WaveConversionOptions options;
  int rate = int(options.sampleRate);
  int bits = -1;
  QString error;
  if (!TakeNumber(args, "--rate", {}, rate, error) ||
      !TakeNumber(args, "--channels", {1, 2}, options.channels, error) ||
      !TakeNumber(args, "--bits", {8, 16, 24, 32}, bits, error))
    return Fail(error, 2);
  bool encodingPresent = true;
  const QString encoding = TakeOption(args, "--encoding", &encodingPresent);
  if (!encodingPresent) return Fail("--encoding needs a value", 2);
  if (encoding.isEmpty() || encoding == "pcm") {
    options.encoding = TWavType::wtPCM;
  } else if (encoding == "ima-adpcm") {
    options.encoding = TWavType::wtDVIADPCM;
  } else {
    return Fail(QStringLiteral("--encoding does not take \"%1\" (pcm or ima-adpcm)").arg(encoding), 2);
  }
  // IMA ADPCM is coded from 16-bit samples: that is its default width and the only one it takes.
  if (options.encoding == TWavType::wtDVIADPCM) {
    if (bits != -1 && bits != 16) return Fail("IMA ADPCM is written from 16-bit samples: use --bits 16", 2);
    bits = 16;
  }
  if (bits != -1) options.bitsPerSample = bits;
  options.sampleRate = quint32(rate);
  if (args.size() != 2 || args[0].startsWith("--") || args[1].startsWith("--"))
    return Fail("usage: trackmill convert wav2wav IN OUT [--rate HZ] [--channels 1|2] [--bits 8|16|24|32] "
                "[--encoding pcm|ima-adpcm]", 2);
  const QString input = args[0];
  const QString output = args[1];

  if (!QFileInfo(input).isFile()) return Fail(QStringLiteral("%1: no such file").arg(input));
  WaveFileConversion conversion;
  if (!conversion.SetInputFile(input))
    return Fail(QStringLiteral("%1: not a wave file that can be converted").arg(input));
  if (!conversion.SetOutputFile(output)) return Fail(QStringLiteral("%1: the output file must end in .wav").arg(output), 2);

  // Over a file-size limit a write must fail with EFBIG instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  TerminalProgress progress;
  const QString caption = QFileInfo(input).fileName();
  const QString phase = LangString("RES_Converting");
  QEventLoop loop;
  QString failure;
  QObject::connect(&conversion, &WaveFileConversion::progressChanged, &loop,
                   [&](int percent) { progress.Show(caption, phase, percent); });
  QObject::connect(&conversion, &WaveFileConversion::finished, &loop, [&](const QString& message) {
    failure = message;
    loop.quit();
  });
  try {
    progress.Show(caption, phase, 0);
    conversion.Start(options);
  } catch (const EAuException& e) {
    progress.Break();
    return Fail(QStringLiteral("%1: %2").arg(input, e.Message()));
  }
  loop.exec();
  if (!failure.isEmpty()) {
    progress.Break();
    return Fail(QStringLiteral("%1: %2").arg(input, failure));
  }
  progress.Show(caption, phase, 100);
  progress.Break();
  Out() << LangString("RES_Success") << ' ' << output << Qt::endl;
  return 0;
}

}  // namespace trackmill::cli
