#pragma once
#include <QObject>
#include <QStringList>
#include <memory>

#include "common/JobItem.h"

// The rip that runs when the drive layer gives no handle: the job runner's rip with the
// paranoia CD input as its extractor, one track after another (each read into output folder
// + title + ".wav", then encoded by the output format of the settings, a copy taken at
// construction), no normalising, no length limit, MP3 results tagged only with the disc's
// ID3v1 tag. The WAV of a track whose encode succeeded is deleted before the next track
// unless IsKeepWav is set; a WAV whose encode failed is kept.
//
// Life cycle: construct, connect the view, Start() from the event loop. Changed() tells the
// view to show the state again; Finished() comes once, from the event loop, after the last
// track or after Stop().
//
// Threads: main thread only. The CD input and the runners are not owned and must outlive the
// rip; the rip uses the runners as their only client while it runs.
//
// Failures: a track that could not be read or encoded is noted (Errors()) and the rip goes
// on with the next track.
namespace trackmill {

class TCDIn;
class TJobRunner;
class TMp3EncodeProcess;
class TWMAEncodeProcess;

class TFallbackRip : public QObject {
  Q_OBJECT
 public:
  TFallbackRip(TCDIn& cdIn, const JobItems& items, TMp3EncodeProcess* mp3Runner,
               TWMAEncodeProcess* wmaRunner, QObject* parent = nullptr);
  ~TFallbackRip() override;

  void Start();
  // Ends the running extraction or encode at once (partial files stay); Finished() follows
  // from the event loop.
  void Stop();

  // What the view shows.
  QString CurrentTrack() const;
  QString OutputFormatName() const;  // "MP3", "WAV", "OGG", "WMA" or "FLAC"
  int SelectedCount() const;
  int CompletedCount() const;
  QString ProgressHint() const;  // "Extracting..." / "Encoding..."
  QString GaugeHint() const;
  int GaugePercent() const;
  bool IsFinished() const;
  // One line per track that failed: its title and what went wrong.
  const QStringList& Errors() const { return errors_; }

 signals:
  void Changed();
  void Finished();
  // A message for the user from a runner (no WMA encoder installed).
  void InformationMessage(const QString& text);

 private:
  void NoteSettled(int item);

  std::unique_ptr<TJobRunner> job_;
  int format_;
  QStringList errors_;
};

}  // namespace trackmill
