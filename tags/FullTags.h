#pragma once
#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// Full tags of finished output files through TagLib: an ID3v2.4 tag (UTF-8) in front of an
// MP3 file and, when given, its ID3v1 block at the end (else the ID3v1 tag it ends with is left
// as it is); Vorbis comments in Ogg Vorbis and
// FLAC files; ASF attributes in WMA files; the front cover and ReplayGain values in each.
//
// Every edit works on a copy of the file in memory that then replaces the file whole (its
// permissions kept), so a failure or a crash never leaves a half-written file; what is read is
// bounded as TagFileEdit.h says. Functions are reentrant; a file is edited by one caller at a
// time. Failures return false with a reason.
namespace trackmill {

struct GainAndPeak {
  double gainDb = 0;  // ReplayGain 2.0: -18 LUFS minus the integrated loudness
  double peak = 0;    // largest sample magnitude, 1.0 = full scale
};

struct TrackTags {
  QString title;
  QString artist;       // the track's performer
  QString albumArtist;  // the disc's; written apart only when it differs from artist
  QString album;
  QString year;
  QString genre;        // a genre name
  QString comment;
  int track = 0;        // 0: none
  int trackTotal = 0;   // 0: unknown
  QByteArray coverJpeg; // empty: no picture
  std::optional<GainAndPeak> trackGain;
  std::optional<GainAndPeak> albumGain;
  // MP3 only: the 128-byte ID3v1 block the file ends with, in place of one it has; empty: none.
  QByteArray id3v1Block;
};

// Writes tags into an .mp3, .ogg, .flac or .wma file (by its suffix, any case). Empty texts are
// left out; a value the file held before is replaced, others stay.
bool WriteFullTags(const QString& path, const TrackTags& tags, QString* error);
// Adds the album's ReplayGain to a file tagged before.
bool WriteAlbumGain(const QString& path, const GainAndPeak& album, QString* error);

// ID3v2 frames to change in an MP3 file that has an ID3v2 tag, as (frame id, text) pairs:
// "TIT2", "TPE1", "TALB", "TDRC", "COMM", "TRCK", "TCON". An empty text removes the frame.
using Id3v2Changes = std::vector<std::pair<QByteArray, QString>>;
enum class Id3v2Edit { Changed, NoTag, Failed };
Id3v2Edit ChangeId3v2Frames(const QString& path, const Id3v2Changes& changes, QString* error);
// Removes an MP3 file's ID3v2 tag.
Id3v2Edit RemoveId3v2Tag(const QString& path, QString* error);

}  // namespace trackmill
