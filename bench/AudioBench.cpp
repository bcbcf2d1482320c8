// Runs one audio operation of Trackmill on a file, for the benchmark script:
//   audio_bench OPERATION IN OUT
// OPERATION: resample22050 (rate only), mono8 (8-bit mono), ima (IMA ADPCM encode),
// pcm16 (decode anything to 16-bit PCM, same rate and channels), ogg (Ogg Vorbis, quality 0.2).
// Prints the peak resident memory in kB on stderr, so that the script can show that memory
// does not grow with the file.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>

#include <cstdio>

#include "audio/core/AuException.h"
#include "audio/codecs/VorbisOut.h"
#include "audio/dsp/WaveFileConversion.h"
#include "audio/wav/WaveIn.h"

using namespace trackmill;

namespace {

long PeakResidentKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
  return -1;
}

int RunConversion(const QString& operation, const QString& in, const QString& out) {
  WaveFileConversion conversion;
  if (!conversion.SetInputFile(in) || !conversion.SetOutputFile(out)) return 2;
  WaveConversionOptions options;
  options.sampleRate = quint32(conversion.InputSampleRate());
  options.channels = conversion.InputChannels();
  options.bitsPerSample = 16;
  if (operation == "resample22050") options.sampleRate = 22050;
  else if (operation == "mono8") options = {options.sampleRate, 1, 8, TWavType::wtPCM};
  else if (operation == "ima") options.encoding = TWavType::wtDVIADPCM;
  else if (operation != "pcm16") return 2;
  QEventLoop loop;
  QString failure;
  QObject::connect(&conversion, &WaveFileConversion::finished, &loop, [&](const QString& message) {
    failure = message;
    loop.quit();
  });
  conversion.Start(options);
  loop.exec();
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    return 1;
  }
  return 0;
}

int RunOgg(const QString& in, const QString& out) {
  TWaveIn input;
  input.SetFileName(in);
  TVorbisOut output;
  output.SetInput(&input);
  output.SetFileName(out);
  output.SetCompression(0.2f);
  QEventLoop loop;
  QString failure;
  output.SetOnThreadException([&](TAuOutput* sender) { failure = sender->ExceptionMessage(); });
  output.SetOnDone([&](TAuOutput*) { loop.quit(); });
  output.Run();
  loop.exec();
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: audio_bench resample22050|mono8|ima|pcm16|ogg IN OUT\n");
    return 2;
  }
  int result = 0;
  try {
    result = args[1] == "ogg" ? RunOgg(args[2], args[3]) : RunConversion(args[1], args[2], args[3]);
  } catch (const EAuException& e) {
    std::fprintf(stderr, "%s\n", e.what());
    result = 1;
  }
  std::fprintf(stderr, "peak-rss-kb %ld\n", PeakResidentKb());
  return result;
}
