#pragma once
#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <mutex>

#include "cddb/CddbToc.h"
#include "cddb/DriveCddb.h"
#include "settings/Settings.h"

namespace trackmill {

// How a query ended. Ended: detail 1 when an entry gave the track titles, else 0. NoMatch:
// detail is the error code (202 when the server knew no match).
enum class CddbQueryEnd { NoMatch, Ended };

// The one report of a query to its window.
class CddbQueryEvent : public QEvent {
 public:
  CddbQueryEvent(CddbQueryEnd end, int detail);
  static QEvent::Type EventType();  // registered with Qt once
  CddbQueryEnd End() const { return end_; }
  int Detail() const { return detail_; }

 private:
  CddbQueryEnd end_;
  int detail_;
};

// The CDDB server settings a query uses, taken from the settings record on the main thread.
struct CddbQuerySettings {
  QString server;
  QString script;
  QString email;
  bool useProxy = false;
  QString proxyAddress;
  QString port;  // proxy port as text; 80 when it is not a number
  int requestTimeoutMs = CddbOptions{}.requestTimeoutMs;
  static CddbQuerySettings FromSettings(const TSettings& settings);
  CddbOptions Options() const;
};

// Looks a disc up on a CDDB server on its own thread and writes what it finds into the
// caller's disc fields (artist, album, year, genre) and row titles.
//
// Use: construct on the main thread, start(); the worker deletes itself once finished (hold
// it in a QPointer). It posts exactly one CddbQueryEvent to window: Ended when the
// query has ended (also when no entry held track titles), NoMatch with the error code when there was no match, the server could not be asked or refused, or no entry
// could be fetched.
// Ownership: disc and rowTitles belong to the caller (rowTitles[0] is the row of the disc's
// first track) and must stay alive until the event arrives or Stop() has returned; the
// caller does not touch them meanwhile. All writes happen just before Ended is
// posted.
// Stop() (main thread) abandons the running transfer; once it returns, the worker writes
// nothing and posts nothing.
class TQueryCDDBThread : public QThread {
  Q_OBJECT
 public:
  TQueryCDDBThread(QObject* window, CddbToc toc, CddbQuerySettings settings, DiscInfo* disc,
                   QStringList* rowTitles);
  // Deleted on the main thread once finished (deleteLater); the wait makes its work visible there.
  ~TQueryCDDBThread() override;
  void Stop();

 protected:
  void run() override;

 private:
  // Writes the results and posts Ended, unless stopped; both under stopLock_.
  void Finish(const DiscInfo& found, const QStringList& rows, bool titlesFound);
  void Post(CddbQueryEnd end, int detail);

  QObject* const window_;
  const CddbToc toc_;
  const CddbQuerySettings settings_;
  DiscInfo* const disc_;
  QStringList* const rowTitles_;
  const DiscInfo discAtStart_;
  const QStringList rowsAtStart_;
  std::mutex stopLock_;  // held while results are written and the last event posted
  std::atomic<bool> stopped_{false};
};

}  // namespace trackmill
