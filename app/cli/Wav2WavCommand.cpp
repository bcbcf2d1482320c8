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

// Rates outside these are no audio any reader or player takes.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;

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
  constexpr int kUnset = -1;
  int rate = kUnset;
  int channels = kUnset;
  int bits = kUnset;
  QString error;
  if (!TakeNumber(args, "--rate", {}, rate, error) || !TakeNumber(args, "--channels", {1, 2}, channels, error) ||
      !TakeNumber(args, "--bits", {8, 16, 24, 32}, bits, error))
    return Fail(error, 2);
  if (rate != kUnset && (rate < kMinSampleRate || rate > kMaxSampleRate))
    return Fail(QStringLiteral("--rate takes %1 to %2 Hz").arg(kMinSampleRate).arg(kMaxSampleRate), 2);
  bool encodingPresent = true;
  const QString encoding = TakeOption(args, "--encoding", &encodingPresent);
  if (!encodingPresent) return Fail("--encoding needs a value", 2);
  if (!encoding.isEmpty() && encoding != "pcm" && encoding != "ima-adpcm")
    return Fail(QStringLiteral("--encoding does not take \"%1\" (pcm or ima-adpcm)").arg(encoding), 2);
  if (encoding == "ima-adpcm" && bits != kUnset && bits != 16)
    return Fail("IMA ADPCM is written from 16-bit samples: use --bits 16", 2);
  QString unknown;
  const QStringList files = Operands(args, &unknown);
  if (files.size() != 2 || !unknown.isEmpty())
    return Fail("usage: trackmill convert wav2wav IN OUT [--rate HZ] [--channels 1|2] [--bits 8|16|24|32] "
                "[--encoding pcm|ima-adpcm]", 2);
  const QString input = files[0];
  const QString output = files[1];

  if (!QFileInfo(input).isFile()) return Fail(QStringLiteral("%1: no such file").arg(input));
  WaveFileConversion conversion;
  if (!conversion.SetInputFile(input))
    return Fail(QStringLiteral("%1: not a wave file that can be converted").arg(input));
  if (!conversion.SetOutputFile(output)) return Fail(QStringLiteral("%1: the output file must end in .wav").arg(output), 2);

  // With no format option the window's defaults hold; once one is given, what is not given
  // stays as the input has it (a rate change alone must not also make 16-bit stereo 8-bit mono).
  WaveConversionOptions options;
  const bool keepInput = rate != kUnset || channels != kUnset || bits != kUnset || !encoding.isEmpty();
  if (keepInput) {
    options.sampleRate = quint32(conversion.InputSampleRate());
    if (conversion.InputChannels() == 1 || conversion.InputChannels() == 2) options.channels = conversion.InputChannels();
    else options.channels = 2;
    const int inputBits = conversion.InputBitsPerSample();
    options.bitsPerSample = (inputBits == 8 || inputBits == 24 || inputBits == 32) ? inputBits : 16;
    if (encoding.isEmpty() && bits == kUnset &&
        conversion.InputEncodingName() == WaveFileConversion::EncodingName(TWavType::wtDVIADPCM))
      options.encoding = TWavType::wtDVIADPCM;
  }
  if (rate != kUnset) options.sampleRate = quint32(rate);
  if (channels != kUnset) options.channels = channels;
  if (bits != kUnset) options.bitsPerSample = bits;
  if (encoding == "pcm") options.encoding = TWavType::wtPCM;
  if (encoding == "ima-adpcm") options.encoding = TWavType::wtDVIADPCM;
  // IMA ADPCM is coded from 16-bit samples: that is its width and the only one it takes.
  if (options.encoding == TWavType::wtDVIADPCM) options.bitsPerSample = 16;

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
