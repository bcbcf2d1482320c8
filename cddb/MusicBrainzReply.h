#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

// The JSON reply of the MusicBrainz disc id lookup ("/ws/2/discid/...") reduced to what a
// disc record needs: per release the facts a chooser lists, the album fields and the tracks of
// the medium that holds the disc. Plain values; parsing is pure and safe from any thread.
namespace trackmill {

struct MusicBrainzTrack {
  int position = 0;  // on its medium, from 1
  QString title;
  QString artist;    // the track's own artist credit with its join phrases
};

struct MusicBrainzRelease {
  QString id;
  QString title;
  QString artist;  // the release's artist credit with its join phrases
  QString date;    // as the service gives it: "YYYY", "YYYY-MM" or "YYYY-MM-DD"
  QString country;
  QString barcode;
  bool hasFrontCover = false;
  QString genre;   // the most-voted genre whose name is an ID3 genre; empty when none is
  std::vector<MusicBrainzTrack> tracks;  // of the medium chosen for the disc; may be empty

  QString Year() const { return date.left(4); }
};

struct MusicBrainzReply {
  bool valid = false;  // false: not JSON, or no "releases" list
  std::vector<MusicBrainzRelease> releases;
};

// discId picks the medium whose "discs" list the id; when none does (a reply to the fuzzy
// toc= lookup) the first medium with trackCount tracks. Entries of unexpected types are
// skipped, never trusted.
MusicBrainzReply ParseMusicBrainzReply(const QByteArray& json, const QString& discId, int trackCount);

}  // namespace trackmill
