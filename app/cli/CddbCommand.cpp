#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <optional>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/DiscListing.h"
#include "app/cli/DriveOption.h"
#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "cddb/CddbDriveToc.h"
#include "cddb/DriveCddb.h"
#include "cddb/QueryCDDBThread.h"
#include "common/ThreadHandOver.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill::cli {
namespace {

// Receives the worker's one event and ends the local event loop.
class QueryWaiter : public QObject {
 public:
  explicit QueryWaiter(QEventLoop& loop) : loop_(loop) {}
  std::optional<CddbQueryEnd> received;  // until the report came
  int detail = 0;

  bool event(QEvent* e) override {
    if (e->type() != CddbQueryEvent::EventType()) return QObject::event(e);
    const auto* query = static_cast<CddbQueryEvent*>(e);
    received = query->End();
    detail = query->Detail();
    loop_.quit();
    return true;
  }

 private:
  QEventLoop& loop_;
};

// Command-line server settings for this run only; options.ini keeps its own.
bool ApplyServerOptions(QStringList& args, QString& error) {
  bool ok = true;
  const QString server = TakeOption(args, QStringLiteral("--server"), &ok);
  if (!ok) return error = QStringLiteral("--server needs HOST[:PORT]"), false;
  const QString script = TakeOption(args, QStringLiteral("--script"), &ok);
  if (!ok) return error = QStringLiteral("--script needs a path"), false;
  const QString proxy = TakeOption(args, QStringLiteral("--proxy"), &ok);
  if (!ok) return error = QStringLiteral("--proxy needs HOST:PORT"), false;
  const QString email = TakeOption(args, QStringLiteral("--email"), &ok);
  if (!ok) return error = QStringLiteral("--email needs an address"), false;

  TSettings& settings = Settings();
  if (!server.isEmpty()) settings.Server = server;
  if (!script.isEmpty()) settings.Script = script;
  if (!email.isEmpty()) settings.Email = email;
  if (!proxy.isEmpty()) {
    QString host;
    int port = 80;
    SplitHostPort(proxy, 80, host, port);
    if (host.isEmpty()) return error = QStringLiteral("--proxy needs HOST:PORT"), false;
    settings.UseProxy = true;
    settings.ProxyAddress = host;
    settings.Port = QString::number(port);
  }
  return true;
}

}  // namespace

int RunCddbCommand(const QStringList& arguments) {
  QStringList args = arguments;
  LoadSettingsOrWarn();
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  QString error;
  if (!ApplyServerOptions(args, error)) return Fail(error, 2);
  if (!args.isEmpty()) return Fail(QStringLiteral("unknown argument \"%1\"").arg(args.first()), 2);

  TrackList list;
  list.Drive = list.OpenDrive(drive.driveIndex);
  if (!list.Drive) return Fail(list.Status);
  list.ReadTrackListFromTOC();
  const std::optional<DiscToc> toc = list.Rows.empty() ? std::nullopt : list.Drive->ReadToc();
  if (!toc) {
    list.Drive->Close();
    return Fail(LangString(QStringLiteral("RES_ReadTocError")));
  }
  const CddbToc cddbToc = CddbTocFromToc(*toc);

  QStringList titles;
  for (const TrackRow& row : list.Rows) titles << row.Title;
  DiscInfo& disc = Settings().Disc;
  QEventLoop loop;
  QueryWaiter waiter(loop);
  QPointer<TQueryCDDBThread> worker = new TQueryCDDBThread(
      &waiter, cddbToc, CddbQuerySettings::FromSettings(Settings()), &disc, &titles);
  worker->start();
  loop.exec();
  if (worker) JoinThread(*worker);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  if (waiter.received != CddbQueryEnd::Ended) {
    list.Drive->Close();
    return Fail(CddbErrorText(waiter.detail));
  }
  for (qsizetype i = 0; i < titles.size() && i < static_cast<qsizetype>(list.Rows.size()); ++i) {
    list.Rows[static_cast<size_t>(i)].Title = titles.at(i);
  }
  PrintDiscRecord(list);
  if (waiter.detail == 0) {
    Out() << LangString(QStringLiteral("RES_CddbNoTitles"))
          << '\n';
  }
  Out().flush();
  // Stores the titles and album facts in cdinfo.dat, as closing the main window does.
  const QString closeError = list.Close();
  return closeError.isEmpty() ? 0 : Fail(closeError);
}

}  // namespace trackmill::cli
