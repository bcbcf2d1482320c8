#pragma once
#include <QEvent>
#include <QObject>
#include <QThread>
#include <atomic>
#include <mutex>

#include "cddb/MusicBrainzClient.h"

// Runs a MusicBrainz lookup, or the fetch of a release's front cover, on its own thread for a
// window, which must not block on the network.
//
// Use: construct on the main thread, start(); the worker deletes itself once finished (hold it
// in a QPointer). It posts exactly one MusicBrainzEvent to window with the outcome, unless
// Stop() (main thread) returned before: then the transfer is abandoned and nothing is posted.
namespace trackmill {

class MusicBrainzEvent : public QEvent {
 public:
  static QEvent::Type EventType();
  MusicBrainzEvent(MusicBrainzLookup lookup, CoverFetch cover);
  const MusicBrainzLookup lookup;  // for a lookup
  const CoverFetch cover;          // for a cover fetch
};

class TMusicBrainzThread : public QThread {
  Q_OBJECT
 public:
  // A lookup of the disc.
  TMusicBrainzThread(QObject* window, MusicBrainzToc toc, MusicBrainzServers servers);
  // The front cover of a release.
  TMusicBrainzThread(QObject* window, QString coverReleaseId, MusicBrainzServers servers);
  // Deleted on the main thread once finished (deleteLater); the wait makes its work visible there.
  ~TMusicBrainzThread() override;
  void Stop();

 protected:
  void run() override;

 private:
  QObject* const window_;
  const MusicBrainzToc toc_;
  const QString coverReleaseId_;
  MusicBrainzServers servers_;
  std::mutex stopLock_;  // held while the event is posted
  std::atomic<bool> stopped_{false};
};

}  // namespace trackmill
