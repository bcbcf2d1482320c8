#pragma once
#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <mutex>

#include "cddb/CddbToc.h"
#include "common/JobCodes.h"
#include "settings/Settings.h"

namespace trackmill {

class CddbQueryEvent : public QEvent {
 public:
  CddbQueryEvent(int event, int detail);
  static QEvent::Type EventType() { return static_cast<QEvent::Type>(WM_QUERY_CDDB); }
  int Event() const { return event_; }
  int Detail() const { return detail_; }

 private:
  int event_;
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
  static CddbQuerySettings FromSettings(const TSettings& settings);
};

// Looks a disc up on a CDDB server on its own thread and writes what it finds into the
// caller's disc fields (artist, album, year, genre) and row titles.
//
// Use: construct on the main thread, start(); the worker deletes itself once finished (hold
// it in a QPointer). It posts exactly one CddbQueryEvent to window: kCddbEventEnded when the
// query has ended (also when no entry held track titles), kCddbEventNoMatch with the last
// error code when there was no match, the server could not be asked or refused, or no entry
// could be fetched.
// Ownership: disc and rowTitles belong to the caller (rowTitles[0] is the row of the disc's
// first track) and must stay alive until the event arrives or Stop() has returned; the
// caller does not touch them meanwhile. All writes happen just before kCddbEventEnded is
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
  // Writes the results and posts kCddbEventEnded, unless stopped; both under stopLock_.
  void Finish(const DiscInfo& found, const QStringList& rows, bool titlesFound);
  void Post(int event, int detail);

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
