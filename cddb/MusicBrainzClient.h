#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>
#include <vector>

#include "cddb/MusicBrainzReply.h"
#include "cddb/MusicBrainzToc.h"

// The MusicBrainz disc lookup and the Cover Art Archive fetch over HTTP(S), through the same
// bounded transfer as the CDDB lookup and with its time-outs. The service allows one request
// a second per client: every lookup request waits for its turn (process-wide), and a 503
// (the service's way of saying "too fast") is retried once after that wait.
//
// Blocking: call from a worker thread, or from the command line's main thread. Reentrant;
// never throws; failures are outcomes with a text for the user (English; the caller may
// translate by outcome).
namespace trackmill {

struct MusicBrainzServers {
  QString server = QStringLiteral("https://musicbrainz.org");          // URL or bare host
  QString coverArtServer = QStringLiteral("https://coverartarchive.org");
  QString contact;  // the contact address the service asks clients to name in the User-Agent
  int connectTimeoutMs = 10000;
  int requestTimeoutMs = 30000;
  const std::atomic<bool>* cancel = nullptr;  // when set and true, the transfer is abandoned
};

struct MusicBrainzLookup {
  enum class Outcome { Found, NotFound, Failed };
  Outcome outcome = Outcome::Failed;
  bool fuzzy = false;  // the id was unknown; the releases matched the table of contents
  std::vector<MusicBrainzRelease> releases;
  QString error;  // for Failed
};

// GET /ws/2/discid/{id}, then the fuzzy toc= form when the id is unknown (404).
MusicBrainzLookup LookUpMusicBrainz(const MusicBrainzToc& toc, const MusicBrainzServers& servers);

struct CoverFetch {
  QByteArray jpeg;  // empty when there is no cover
  QString note;     // why there is none
};
// GET /release/{id}/front-500 of the Cover Art Archive, following its redirects.
CoverFetch FetchFrontCover(const QString& releaseId, const MusicBrainzServers& servers);

// "Trackmill/VERSION ( contact )" as the service asks for.
QByteArray MusicBrainzUserAgent(const QString& contact);
// A server setting as a base URL without a trailing "/": a bare host gets "https://".
// Empty for anything but an http or https URL.
QString ServerBaseUrl(const QString& setting);

}  // namespace trackmill
