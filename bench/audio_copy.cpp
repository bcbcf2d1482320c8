// Plain PCM copy through the pipeline: TWaveIn -> TWaveOut. Prints the peak resident size.
#include <QCoreApplication>
#include <QEventLoop>

#include <sys/resource.h>

#include <cstdio>

#include "audio/core/AuException.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"

using namespace trackmill;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: audio_copy_bench IN.wav OUT.wav\n");
    return 2;
  }
  QString failure;
  try {
    TWaveIn input;
    input.SetFileName(QString::fromLocal8Bit(argv[1]));
    TWaveOut output;
    output.SetFileName(QString::fromLocal8Bit(argv[2]));
    output.SetInput(&input);
    QEventLoop loop;
    output.SetOnThreadException([&](TAuOutput* sender) { failure = sender->ExceptionMessage(); });
    output.SetOnDone([&](TAuOutput*) { loop.quit(); });
    output.Run();
    loop.exec();
  } catch (const EAuException& e) {
    failure = e.Message();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "peak-rss-kb %ld\n", usage.ru_maxrss);
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    return 1;
  }
  return 0;
}
