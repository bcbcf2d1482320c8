#include "cddb/QueryCDDBThread.h"

#include <algorithm>

#include <QCoreApplication>
#include <array>
#include <cstring>

#include "cddb/DriveCddb.h"
#include "cddb/XmcdEntry.h"
#include "common/AppInfo.h"
#include "common/ThreadHandOver.h"

namespace trackmill {

CddbQueryEvent::CddbQueryEvent(CddbQueryEnd end, int detail)
    : QEvent(EventType()), end_(end), detail_(detail) {}

QEvent::Type CddbQueryEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

CddbQuerySettings CddbQuerySettings::FromSettings(const TSettings& settings) {
  return {settings.Server, settings.Script, settings.Email, settings.UseProxy,
          settings.ProxyAddress, settings.Port};
}

CddbOptions CddbQuerySettings::Options() const {
  CddbOptions options;
  options.server = server.trimmed();
  options.script = script;
  options.email = email.trimmed();
  options.useProxy = useProxy;
  if (useProxy) {
    bool portIsNumber = false;
    const int proxyPort = port.trimmed().toInt(&portIsNumber);
    options.proxyPort = portIsNumber && proxyPort > 0 && proxyPort <= 65535 ? proxyPort : 80;
    options.proxyHost = proxyAddress.trimmed();
  }
  options.requestTimeoutMs = std::max(1, requestTimeoutMs);
  return options;
}

TQueryCDDBThread::TQueryCDDBThread(QObject* window, CddbToc toc, CddbQuerySettings settings,
                                   DiscInfo* disc, QStringList* rowTitles)
    : window_(window),
      toc_(std::move(toc)),
      settings_(std::move(settings)),
      disc_(disc),
      rowTitles_(rowTitles),
      discAtStart_(disc ? *disc : DiscInfo{}),
      rowsAtStart_(rowTitles ? *rowTitles : QStringList{}) {
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TQueryCDDBThread::~TQueryCDDBThread() { JoinThread(*this); }

void TQueryCDDBThread::Stop() {
  std::lock_guard lock(stopLock_);
  stopped_ = true;
}

void TQueryCDDBThread::Post(CddbQueryEnd end, int detail) {
  if (window_) PostAcrossThreads(window_, new CddbQueryEvent(end, detail));
}

void TQueryCDDBThread::Finish(const DiscInfo& found, const QStringList& rows, bool titlesFound) {
  std::lock_guard lock(stopLock_);
  if (stopped_) return;
  if (disc_) {
    disc_->Artist = found.Artist;
    disc_->Album = found.Album;
    disc_->Year = found.Year;
    disc_->Genre = found.Genre;
    // Guest artists named by another lookup belong to that lookup's titles.
    if (titlesFound) {
      disc_->TrackArtists = {};
      disc_->MusicBrainzRelease.clear();
    }
  }
  if (rowTitles_) *rowTitles_ = rows;
  Post(CddbQueryEnd::Ended, titlesFound ? 1 : 0);
}

void TQueryCDDBThread::run() {
  const ThreadEndMark end(this);
  CDDBSetCancelFlag(&stopped_);
  const auto postUnlessStopped = [this](CddbQueryEnd end, int detail) {
    std::lock_guard lock(stopLock_);
    if (!stopped_) Post(end, detail);
  };

  std::array<TCDDBQueryItem, kCddbMatchCapacity> matches;
  std::memset(matches.data(), 0, sizeof matches);
  TCDDBQuery query;
  query.num = kCddbMatchCapacity;
  query.q = matches.data();

  const CddbOptions options = settings_.Options();

  // A query that fails is reported like "no match" (with its error) rather than as an
  // ended query: the user has to learn that nothing was looked up.
  CddbOutcome last = CDDBQuery(options, toc_, query);
  if (!last.ok || query.num < 1) {
    postUnlessStopped(CddbQueryEnd::NoMatch, last.error);
    return;
  }

  DiscInfo found = discAtStart_;
  QStringList rows = rowsAtStart_;
  std::vector<char> entry(kDiscInfoBufferBytes);
  bool anyEntry = false;
  for (int i = 0; i < query.num && !stopped_; ++i) {
    const TCDDBQueryItem& match = matches[static_cast<size_t>(i)];
    last = CDDBGetDiskInfo(options, match, entry.data(), kDiscInfoBufferBytes);
    if (!last.ok) {
      continue;  // an entry that cannot be fetched is passed over
    }
    anyEntry = true;
    const QString text = QString::fromUtf8(
        entry.data(), static_cast<qsizetype>(strnlen(entry.data(), entry.size())));
    if (ApplyXmcdEntry(text, toc_.firstTrack, toc_.LastTrack(), found, rows)) {
      Finish(found, rows, true);
      return;
    }
  }
  if (!anyEntry) {
    postUnlessStopped(CddbQueryEnd::NoMatch, last.error);
    return;
  }
  Finish(found, rows, false);
}

}  // namespace trackmill
