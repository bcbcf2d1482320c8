#pragma once
#include <QByteArray>
#include <QFuture>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <map>
#include <optional>

#include "common/JobItem.h"
#include "jobs/ReplayGainMeter.h"

// Full tags of the files one job finishes, each in one write (TagLib): for CD tracks with "Use
// ID3 tag" set (FLAC ones always) the disc's fields, the track's own artist and the disc's
// cover, and for MP3s the ID3v1 tag besides; for every MP3, Ogg Vorbis, FLAC and WMA result the ReplayGain
// values the settings ask for, measured on the audio the encoder was given. After the last item the
// album gain goes into every file tagged. The disc's cover is also kept as "cover.jpg" beside
// the tracks (an existing one is never replaced).
//
// Main thread; one object per job, working from the job's settings (not owned, outlive it). Measurements started ahead
// run on the tagger's own thread.
namespace trackmill {

struct TSettings;

class TOutputTagger {
 public:
  // discFolder: where a disc's cover file goes (the folder its tracks share).
  TOutputTagger(const TSettings& settings, QString discFolder);
  ~TOutputTagger();  // waits for a measurement under way
  // Once sourceWav is whole: starts measuring its ReplayGain on the tagger's thread, while the
  // encoder makes output, when the settings ask for gain and output takes full tags.
  // TagFinishedFile takes the result, waiting only when the encoder was the faster.
  void MeasureAhead(const QString& output, const QString& sourceWav);
  // item: its output is finished; a CD track gets the disc's tags, a file (whose source is not
  // the disc) only gain. sourceWav: what was encoded. Returns a failure text, else empty.
  QString TagFinishedFile(const JobItem& item, const QString& sourceWav);
  // Writes the album gain into the files tagged so far. Returns failure texts, one a line.
  QString FinishAlbum();

 private:
  std::optional<GainAndPeak> TrackGain(const QString& sourceWav);
  // The disc's cover fitted to the settings, read (and kept beside the tracks) on first use.
  const QByteArray& DiscCover(const QString& identifier);

  const TSettings& settings_;
  const QString discFolder_;
  QThreadPool measuring_;  // one thread
  std::map<QString, QFuture<std::shared_ptr<TReplayGainMeter::TrackState>>> ahead_;  // by source
  TReplayGainMeter meter_;
  QStringList tagged_;
  std::optional<QByteArray> cover_;  // read once a job; empty: none
};

}  // namespace trackmill
