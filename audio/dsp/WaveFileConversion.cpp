#include "audio/dsp/WaveFileConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "audio/core/AuException.h"

namespace trackmill {

WaveFileConversion::WaveFileConversion(QObject* parent) : QObject(parent) {
  resampler_.SetInput(&waveIn_);
  converter_.SetInput(&resampler_);
  converter_.SetMode(TMSConverterMode::msmMonoToBoth);
  waveOut_.SetInput(&converter_);
  waveOut_.SetWavType(TWavType::wtPCM);
  waveOut_.SetBlockSize(512);
  waveOut_.SetCreateNonMsHeaders(false);
  waveOut_.SetFileMode(TFileOutputMode::foRewrite);
  waveOut_.SetOnProgress([this](TAuOutput* sender) { emit progressChanged(sender->Progress()); });
  waveOut_.SetOnThreadException([this](TAuOutput* sender) { failure_ = sender->ExceptionMessage(); });
  waveOut_.SetOnDone([this](TAuOutput*) { emit finished(Complete()); });
}

WaveFileConversion::~WaveFileConversion() {
  waveOut_.SetOnDone({});
  waveOut_.SetOnProgress({});
  waveOut_.SetOnThreadException({});
  StopAndWait();
}

QString WaveFileConversion::EncodingName(TWavType type) {
  switch (type) {
    case TWavType::wtPCM: return QStringLiteral("Raw PCM");
    case TWavType::wtDVIADPCM: return QStringLiteral("DVI IMA ADPCM");
    case TWavType::wtMSADPCM: return QStringLiteral("Microsoft ADPCM");
    case TWavType::wtACM: return QStringLiteral("ACM");
    case TWavType::wtIEEEFloat: return QStringLiteral("IEEE Float");
    case TWavType::wtExtPCM: return QStringLiteral("WaveFormatExt (PCM)");
    case TWavType::wtExtIEEEFloat: return QStringLiteral("WaveFormatExt (IEEE Float)");
    default: return QStringLiteral("Unsupported");
  }
}

bool WaveFileConversion::SetInputFile(const QString& path) {
  waveIn_.SetFileName(path);
  return waveIn_.Valid();
}

bool WaveFileConversion::SetOutputFile(const QString& path) {
  if (QFileInfo(path).suffix().toLower() != QLatin1String("wav")) {
    outputFile_.clear();
    return false;
  }
  outputFile_ = path;
  return true;
}

void WaveFileConversion::Start(const WaveConversionOptions& options) {
  if (outputFile_.isEmpty()) throw EAuException("The output file name is not set!");
  converter_.SetOutBitsPerSample(0);
  converter_.SetOutChannels(0);
  if (!waveIn_.Valid()) throw EAuException("The input file is not a readable wave file");
  const QFileInfo in(waveIn_.FileName());
  const QFileInfo out(outputFile_);
  if (out.exists() && in.canonicalFilePath() == out.canonicalFilePath())
    throw EAuException("The output file must not be the input file");

  if (options.bitsPerSample != waveIn_.GetBitsPerSample()) converter_.SetOutBitsPerSample(options.bitsPerSample);
  if (options.channels != waveIn_.GetChannels()) converter_.SetOutChannels(options.channels);
  resampler_.SetOutSampleRate(options.sampleRate);
  waveOut_.SetWavType(options.encoding);
  partFile_ = PartFile(outputFile_);
  waveOut_.SetFileName(partFile_);
  failure_.clear();
  aborted_ = false;
  try {
    waveOut_.Run();
  } catch (...) {
    partFile_.clear();
    throw;
  }
}

QString WaveFileConversion::PartFile(const QString& output) {
  const QFileInfo info(output);
  return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1String(".part"));
}

QString WaveFileConversion::Complete() {
  QString failure = failure_;
  if (failure.isEmpty() && (aborted_ || waveOut_.Stopped()))
    failure = QStringLiteral("Aborted: nothing was written to %1").arg(QFileInfo(outputFile_).fileName());
  if (failure.isEmpty() &&
      std::rename(QFile::encodeName(partFile_).constData(), QFile::encodeName(outputFile_).constData()) != 0)
    failure = QStringLiteral("Could not rename %1 to %2: %3")
                  .arg(partFile_, outputFile_, QString::fromLocal8Bit(std::strerror(errno)));
  if (!failure.isEmpty()) QFile::remove(partFile_);
  partFile_.clear();
  return failure;
}

void WaveFileConversion::Abort() {
  if (!waveOut_.Busy()) return;
  aborted_ = true;
  waveOut_.Stop(true);
}

void WaveFileConversion::StopAndWait() {
  waveOut_.Stop(false);
  // No done event follows a waited stop: the part file goes here.
  if (!partFile_.isEmpty()) QFile::remove(partFile_);
  partFile_.clear();
}

}  // namespace trackmill
