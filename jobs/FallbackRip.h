#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "common/JobItem.h"
#include "common/ProcessInfo.h"

// The rip that runs when the drive layer gives no handle: each item ("NN" + title) is read
// through the paranoia CD input into output folder + title + ".wav", then, by the output
// format of the settings (a copy taken at construction), encoded to MP3 (with an ID3v1 tag from the disc fields) or WMA by
// the external encoder runners, or to Ogg Vorbis or FLAC through the pipeline; one track
// after another, no normalising, no length limit. The WAV of a track whose encode succeeded
// is deleted unless IsKeepWav is set; a WAV whose encode failed is kept.
//
// Life cycle: construct, connect the view, Start() from the event loop. Changed() tells the
// view to show the state again; Finished() comes once, from the event loop, after the last
// track or after Stop(). Fixed pauses between steps are timers, never waits.
//
// Threads: main thread only. The workers (the output's worker, the encoder readers) report
// through WM_JOB_PROGRESS events to this object. The CD input and the runners are not owned
// and must outlive the rip; the rip uses the runners as their only client while it runs, and
// stops a running encode when it is stopped or destroyed.
//
// Failures: a track that could not be read or encoded is noted (Errors()) and the rip goes
// on with the next track.
namespace trackmill {

class TCDIn;
class TEncodeProcess;
class TMp3EncodeProcess;
class TWMAEncodeProcess;
class TWaveOut;
class TWaveIn;
class TVorbisOut;
class TFlacOut;
class TAuOutput;
struct TSettings;

class TFallbackRip : public QObject {
  Q_OBJECT
 public:
  TFallbackRip(TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
               TWMAEncodeProcess* wmaRunner, QObject* parent = nullptr);
  ~TFallbackRip() override;

  void Start();
  // Ends the running extraction or encode at once (partial files stay); Finished() follows
  // after a short pause.
  void Stop();

  // What the view shows.
  QString CurrentTrack() const { return currentTrack_; }
  QString OutputFormatName() const;  // "MP3", "WAV", "OGG", "WMA" or "FLAC"
  int SelectedCount() const { return int(items_.size()); }
  int CompletedCount() const { return completed_; }
  QString ProgressHint() const { return progressHint_; }  // "Extracting..." / "Encoding..."
  QString GaugeHint() const { return gaugeHint_; }
  int GaugePercent() const { return gauge_; }
  bool IsFinished() const { return finished_; }
  // One line per track that failed: its title and what went wrong.
  const QStringList& Errors() const { return errors_; }

 signals:
  void Changed();
  void Finished();
  // A message for the user from a runner (no WMA encoder installed).
  void InformationMessage(const QString& text);

 protected:
  bool event(QEvent* event) override;

 private:
  QString Title(int item) const;
  int Track(int item) const;  // the item's position in the disc's track list
  QString TrackWav(int item) const;
  void StartTrack(int item);
  void ExtractionEnded(bool ok);
  void StartEncode(int item);
  void LaunchRunner(TEncodeProcess* runner, const QString& output, qint32 endPercent);
  void StartPipelineEncode(TAuOutput& output, qint32 endPercent);
  // Reports an encode that could not start as ended and skipped, from the event loop.
  void PostSkipped(qint32 endPercent, const QString& reason);
  void EncodeEnded(const TProcessInfo& info);
  void AfterEncode(bool ok, const QString& failure);
  void NextOrFinish();
  void Finish();
  void SetProgress(int percent);
  void WmaTick();
  void Fail(int item, const QString& what);
  void StopRunners();

  TCDIn& cdIn_;
  JobItems items_;
  TMp3EncodeProcess* mp3Runner_;
  TWMAEncodeProcess* wmaRunner_;
  std::unique_ptr<TSettings> settings_;
  int format_;
  std::unique_ptr<TWaveIn> sourceWav_;
  std::unique_ptr<TWaveOut> wavOutput_;
  std::unique_ptr<TVorbisOut> oggOutput_;
  std::unique_ptr<TFlacOut> flacOutput_;
  TAuOutput* current_ = nullptr;  // the output started last
  QString extractionFailure_;

  int extracted_ = 0;
  int completed_ = 0;
  bool started_ = false;
  bool finished_ = false;
  QString currentTrack_;
  QString progressHint_;
  QString gaugeHint_;
  int gauge_ = 0;
  QStringList errors_;

  QTimer wmaEstimateTimer_;
  QElapsedTimer wmaStart_;
  qint64 wmaInputSize_ = -1;
  QString wmaOutput_;
};

}  // namespace trackmill
