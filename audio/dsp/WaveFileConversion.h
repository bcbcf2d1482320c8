#pragma once
#include <QObject>
#include <QString>

#include "audio/dsp/AudioConverter.h"
#include "audio/dsp/FastResampler.h"
#include "audio/wav/WaveIn.h"
#include "audio/wav/WaveOut.h"

// The wave file converter behind the "Wave File Converter" window and `convert wav2wav`:
// one WAV file in, another WAV file out with a chosen sample rate, channel count, bits per
// sample and encoding (plain PCM or DVI IMA ADPCM). The chain is
// TWaveIn -> TFastResampler -> TAudioConverter -> TWaveOut; bits and channels the input
// already has are left alone.
//
// Use: SetInputFile(), SetOutputFile(), then Start() any number of times (one run at a time).
// progressChanged() and finished() are emitted on the main thread while the main event loop
// runs. Abort() stops without waiting (finished() still follows, with a failure text);
// StopAndWait() returns once the run is over and emits nothing.
//
// The run writes a hidden file beside the output (".NAME.part") and renames it over the
// output only when it succeeded, so a failed, aborted or stopped run leaves nothing under
// the output name and an older file there as it was.
//
// Errors: Start() raises EAuException "The output file name is not set!" without an output
// file, "The input file is not a readable wave file" for an input that is not valid, and
// "The output file must not be the input file" when both name the same file (it would be
// emptied before it is read). Failures during the run arrive in finished().
// Main thread only.
namespace trackmill {

struct WaveConversionOptions {
  quint32 sampleRate = 22050;
  int channels = 1;  // 1 or 2
  int bitsPerSample = 8;  // 8, 16, 24 or 32
  TWavType encoding = TWavType::wtPCM;  // wtPCM or wtDVIADPCM (16 bits only)
};

class WaveFileConversion : public QObject {
  Q_OBJECT
 public:
  explicit WaveFileConversion(QObject* parent = nullptr);
  ~WaveFileConversion() override;

  // Sets the input; true when it is a WAV file the reader handles.
  bool SetInputFile(const QString& path);
  QString InputFile() const { return waveIn_.FileName(); }
  // The input's format (valid input only).
  int InputChannels() { return waveIn_.GetChannels(); }
  int InputSampleRate() { return waveIn_.GetSampleRate(); }
  int InputBitsPerSample() { return waveIn_.GetBitsPerSample(); }
  QString InputEncodingName() { return EncodingName(waveIn_.Valid() ? waveIn_.WavType() : TWavType::wtUnsupported); }
  static QString EncodingName(TWavType type);

  // Takes the name when its extension, lower-cased, is ".wav"; otherwise the output is unset.
  // Returns whether it was taken.
  bool SetOutputFile(const QString& path);
  QString OutputFile() const { return outputFile_; }

  void Start(const WaveConversionOptions& options);
  bool IsRunning() const { return waveOut_.Busy(); }
  int Progress() const { return waveOut_.Progress(); }
  void Abort();
  void StopAndWait();
  // The file a run writes before it is renamed to the output.
  static QString PartFile(const QString& output);

 signals:
  void progressChanged(int percent);
  // failure is empty when the conversion succeeded.
  void finished(const QString& failure);

 private:
  TWaveIn waveIn_;
  TFastResampler resampler_;
  TAudioConverter converter_;
  TWaveOut waveOut_;
  // Runs when the output is done: the part file becomes the output or goes; returns the
  // failure text (empty on success).
  QString Complete();

  QString outputFile_;
  QString partFile_;  // of the run under way
  QString failure_;
  bool aborted_ = false;
};

}  // namespace trackmill
