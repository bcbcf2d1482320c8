#include "cddb/QueryCDDBThread.h"

#include <QCoreApplication>
#include <array>
#include <cstring>

#include "cddb/DriveCddb.h"
#include "cddb/XmcdEntry.h"
#include "common/AppInfo.h"
#include "common/ThreadHandOver.h"

namespace trackmill {

CddbQueryEvent::CddbQueryEvent(int event, int detail)
    : QEvent(EventType()), event_(event), detail_(detail) {}

CddbQuerySettings CddbQuerySettings::FromSettings(const TSettings& settings) {
  return {settings.Server, settings.Script, settings.Email, settings.UseProxy,
          settings.ProxyAddress, settings.Port};
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

void TQueryCDDBThread::Post(int event, int detail) {
  if (window_) PostAcrossThreads(window_, new CddbQueryEvent(event, detail));
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
  Post(kCddbEventEnded, titlesFound ? 1 : 0);
}

void TQueryCDDBThread::run() {
  const ThreadEndMark end(this);
  CDDBSetCancelFlag(&stopped_);
  const auto postUnlessStopped = [this](int event, int detail) {
    std::lock_guard lock(stopLock_);
    if (!stopped_) Post(event, detail);
  };

  std::array<TCDDBQueryItem, kCddbMatchCapacity> matches;
  std::memset(matches.data(), 0, sizeof matches);
  TCDDBQuery query;
  query.num = kCddbMatchCapacity;
  query.q = matches.data();

  bool portIsNumber = false;
  const int proxyPort = settings_.port.trimmed().toInt(&portIsNumber);
  CDDBSetOption(kCddbOptionServer, settings_.server, 0);
  CDDBSetOption(kCddbOptionScript, settings_.script, 0);
  CDDBSetOption(kCddbOptionEmail, settings_.email, 0);
  CDDBSetOption(kCddbOptionClient, QStringLiteral("trackmill %1").arg(QLatin1String(kAppVersion)), 0);
  CDDBSetOption(kCddbOptionHelloHost, QString(), 0);
  CDDBSetOption(kCddbOptionUseProxy, QString(), settings_.useProxy ? 1 : 0);
  if (settings_.useProxy) {
    CDDBSetOption(kCddbOptionProxyPort, QString(), portIsNumber ? proxyPort : 80);
    CDDBSetOption(kCddbOptionProxyHost, settings_.proxyAddress, 0);
  }

  // A query that fails is reported like "no match" (with its error) rather than as an
  // ended query: the user has to learn that nothing was looked up.
  if (CDDBQuery(toc_, query) != 1 || query.num < 1) {
    postUnlessStopped(kCddbEventNoMatch, GetAspiLibError());
    return;
  }

  DiscInfo found = discAtStart_;
  QStringList rows = rowsAtStart_;
  std::vector<char> entry(kDiscInfoBufferBytes);
  bool anyEntry = false;
  for (int i = 0; i < query.num && !stopped_; ++i) {
    const TCDDBQueryItem& match = matches[static_cast<size_t>(i)];
    if (CDDBGetDiskInfo(match, entry.data(), kDiscInfoBufferBytes) != 1) {
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
    postUnlessStopped(kCddbEventNoMatch, GetAspiLibError());
    return;
  }
  Finish(found, rows, false);
}

}  // namespace trackmill
