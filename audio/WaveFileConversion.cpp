#include "audio/WaveFileConversion.h"

#include <QFileInfo>

#include "audio/AuException.h"

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
  waveOut_.SetOnDone([this](TAuOutput*) { emit finished(failure_); });
}

WaveFileConversion::~WaveFileConversion() {
  waveOut_.SetOnDone({});
  waveOut_.SetOnProgress({});
  waveOut_.SetOnThreadException({});
  waveOut_.Stop(false);
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
  waveOut_.SetFileName(outputFile_);
  failure_.clear();
  waveOut_.Run();
}

void WaveFileConversion::Abort() { waveOut_.Stop(true); }

void WaveFileConversion::StopAndWait() { waveOut_.Stop(false); }

}  // namespace trackmill
