#pragma once
#include <QString>
#include <QStringList>

#include "jobs/ReplayGainMeter.h"

// Full tags of the files one job finishes (TagLib; the ID3v1 tag stays the runner's own):
// for CD tracks with "Use ID3 tag" set (FLAC ones always) the disc's fields, the track's own
// artist and the disc's cover; for every MP3 and Ogg Vorbis result (and FLAC) the ReplayGain values the
// settings ask for, measured on the audio the encoder was given. After the last item the
// album gain goes into every file tagged. The disc's cover is also kept as "cover.jpg" beside
// the tracks (an existing one is never replaced).
//
// Main thread (reads the settings record); one object per job.
namespace trackmill {

class TOutputTagger {
 public:
  // output: the finished file; sourceWav: what was encoded; cdTrack: the track's number, 0
  // for a file job (whose sources are not the disc). Returns a failure text, else empty.
  QString TagFinishedFile(const QString& output, const QString& sourceWav, int cdTrack, const QString& title);
  // Writes the album gain into the files tagged so far. Returns failure texts, one a line.
  QString FinishAlbum();

 private:
  TReplayGainMeter meter_;
  QStringList tagged_;
  bool coverKept_ = false;
};

}  // namespace trackmill
