#include "cddb/MusicBrainzThread.h"

#include <QCoreApplication>

#include "common/ThreadHandOver.h"

namespace trackmill {

QEvent::Type MusicBrainzEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

MusicBrainzEvent::MusicBrainzEvent(MusicBrainzLookup found, CoverFetch fetched)
    : QEvent(EventType()), lookup(std::move(found)), cover(std::move(fetched)) {}

TMusicBrainzThread::TMusicBrainzThread(QObject* window, MusicBrainzToc toc, MusicBrainzServers servers)
    : window_(window), toc_(std::move(toc)), servers_(std::move(servers)) {
  servers_.cancel = &stopped_;
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TMusicBrainzThread::TMusicBrainzThread(QObject* window, QString coverReleaseId, MusicBrainzServers servers)
    : window_(window), coverReleaseId_(std::move(coverReleaseId)), servers_(std::move(servers)) {
  servers_.cancel = &stopped_;
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TMusicBrainzThread::Stop() {
  std::lock_guard lock(stopLock_);
  stopped_ = true;
}

TMusicBrainzThread::~TMusicBrainzThread() { JoinThread(*this); }

void TMusicBrainzThread::run() {
  const ThreadEndMark end(this);
  MusicBrainzLookup lookup;
  CoverFetch cover;
  if (coverReleaseId_.isEmpty())
    lookup = LookUpMusicBrainz(toc_, servers_);
  else
    cover = FetchFrontCover(coverReleaseId_, servers_);
  std::lock_guard lock(stopLock_);
  if (!stopped_ && window_) PostAcrossThreads(window_, new MusicBrainzEvent(std::move(lookup), std::move(cover)));
}

}  // namespace trackmill
