#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>

#include "CddbTestServer.h"
#include "cddb/DriveCddb.h"
#include "cddb/QueryCDDBThread.h"

namespace trackmill {
namespace {

using test::CddbTestServer;

class EventSink : public QObject {
 public:
  std::vector<std::pair<CddbQueryEnd, int>> events;
  bool event(QEvent* e) override {
    if (e->type() == CddbQueryEvent::EventType()) {
      const auto* query = static_cast<CddbQueryEvent*>(e);
      events.emplace_back(query->End(), query->Detail());
      return true;
    }
    return QObject::event(e);
  }
};

// Runs the event loop until the worker is gone (it deletes itself once finished).
void WaitForWorker(QPointer<TQueryCDDBThread>& worker) {
  const QDeadlineTimer deadline(60000);
  while (worker && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QCoreApplication::processEvents();
  ASSERT_TRUE(worker.isNull()) << "worker did not end";
}

QByteArray ThreeMatchServer(const QString& cmd) {
  if (cmd.startsWith(QLatin1String("cddb query"))) {
    return "211 Found inexact matches\r\nrock 00000001 A / One\r\nblues 00000002 B / Two\r\n"
           "jazz 00000003 C / Three\r\nfolk 00000004 D / Four\r\n.\r\n";
  }
  // The first entry can not be fetched, the second has disc fields but no titles, the third
  // has the title line, the fourth must not be looked at.
  if (cmd.endsWith(QLatin1String("00000001"))) return "401 No such CD entry\r\n";
  if (cmd.endsWith(QLatin1String("00000002"))) {
    return test::CddbEntryReply("blues", "00000002", "DTITLE=B / Two\nDYEAR=1966\nDGENRE=Blues");
  }
  if (cmd.endsWith(QLatin1String("00000003"))) {
    return test::CddbEntryReply("jazz", "00000003", "DTITLE=C / Three\nTTITLE0=c1\nTTITLE1=c2");
  }
  return test::CddbEntryReply("folk", "00000004", "DTITLE=D / Four\nTTITLE0=d1\nTTITLE1=d2");
}

class QueryCDDBThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.requestTimeoutMs = 5000;
    toc_.trackStartFrames = {150, 30000};
    toc_.leadOutFrame = 60000;
    settings_.script = QStringLiteral("/~cddb/cddb.cgi");
    settings_.email = QStringLiteral("ripper@example.org");
    settings_.port = QStringLiteral("80");
    rows_ = QStringList{QStringLiteral("Track01"), QStringLiteral("Track02")};
  }

  void Run(const CddbTestServer& server) {
    settings_.server = server.HostPort();
    QPointer<TQueryCDDBThread> worker = new TQueryCDDBThread(&sink_, toc_, settings_, &disc_, &rows_);
    worker->start();
    WaitForWorker(worker);
  }

  CddbToc toc_;
  CddbQuerySettings settings_;
  DiscInfo disc_;
  QStringList rows_;
  EventSink sink_;
};

TEST_F(QueryCDDBThreadTest, UsesTheFirstMatchWithTheTitleLine) {
  CddbTestServer server(&ThreeMatchServer);
  disc_.TrackArtists[0] = QStringLiteral("a guest of another lookup's titles");
  disc_.MusicBrainzRelease = QStringLiteral("0b9a6c55");
  Run(server);
  ASSERT_EQ(sink_.events.size(), 1u);
  EXPECT_EQ(sink_.events[0], std::make_pair(CddbQueryEnd::Ended, 1));
  EXPECT_EQ(rows_, (QStringList{QStringLiteral("c1"), QStringLiteral("c2")}));
  EXPECT_EQ(disc_.Artist, QStringLiteral("C"));
  EXPECT_EQ(disc_.Album, QStringLiteral("Three"));
  // Written while scanning the earlier match and not replaced by the used one.
  EXPECT_EQ(disc_.Year, QStringLiteral("1966"));
  EXPECT_EQ(disc_.Genre, 18);
  EXPECT_TRUE(disc_.TrackArtists[0].isEmpty() && disc_.MusicBrainzRelease.isEmpty());
  QStringList commands;
  for (const auto& request : server.Requests()) commands << request.cmd;
  EXPECT_FALSE(commands.join(QLatin1Char('|')).contains(QLatin1String("00000004")));
  EXPECT_EQ(commands.size(), 4);
}

TEST_F(QueryCDDBThreadTest, NoMatchPostsEventSixWithTheLastError) {
  CddbTestServer server([](const QString&) { return QByteArray("202 No match found\r\n"); });
  disc_.Artist = QStringLiteral("kept");
  Run(server);
  ASSERT_EQ(sink_.events.size(), 1u);
  EXPECT_EQ(sink_.events[0], std::make_pair(CddbQueryEnd::NoMatch, 202));
  EXPECT_EQ(disc_.Artist, QStringLiteral("kept"));
  EXPECT_EQ(rows_, (QStringList{QStringLiteral("Track01"), QStringLiteral("Track02")}));
}

TEST_F(QueryCDDBThreadTest, FailuresAreNotReportedAsAnEndedQuery) {
  struct Case {
    const char* name;
    CddbTestServer::Reply reply;
    int error;
  };
  const std::vector<Case> cases = {
      {"refused", [](const QString&) { return QByteArray("409 No handshake\r\n"); }, 409},
      {"entries unreadable",
       [](const QString& cmd) {
         return cmd.startsWith(QLatin1String("cddb query")) ? QByteArray("200 rock 00000001 A / B\r\n")
                                                            : QByteArray("402 Server error\r\n");
       },
       402},
  };
  for (const Case& c : cases) {
    sink_.events.clear();
    CddbTestServer server(c.reply);
    Run(server);
    ASSERT_EQ(sink_.events.size(), 1u) << c.name;
    EXPECT_EQ(sink_.events[0], std::make_pair(CddbQueryEnd::NoMatch, c.error)) << c.name;
  }
}

TEST_F(QueryCDDBThreadTest, EntriesWithoutTitlesStillEndTheQuery) {
  CddbTestServer server([](const QString& cmd) {
    return cmd.startsWith(QLatin1String("cddb query"))
               ? QByteArray("200 rock 00000001 A / B\r\n")
               : test::CddbEntryReply("rock", "00000001", "DTITLE=A / B\nDYEAR=2002");
  });
  Run(server);
  ASSERT_EQ(sink_.events.size(), 1u);
  EXPECT_EQ(sink_.events[0], std::make_pair(CddbQueryEnd::Ended, 0));
  EXPECT_EQ(disc_.Artist, QStringLiteral("A"));
  EXPECT_EQ(disc_.Year, QStringLiteral("2002"));
  EXPECT_EQ(rows_.at(0), QStringLiteral("Track01"));
}

TEST_F(QueryCDDBThreadTest, ProxyPortThatIsNotANumberMeansEighty) {
  // Port 80 on 127.0.0.1 is closed here, so the attempt fails; what matters is that the
  // worker asked for port 80 rather than sending a garbage port.
  settings_.useProxy = true;
  settings_.proxyAddress = QStringLiteral("127.0.0.1");
  settings_.port = QStringLiteral("eighty");
  CddbTestServer server([](const QString&) { return QByteArray("202 No match\r\n"); });
  Run(server);
  ASSERT_EQ(sink_.events.size(), 1u);
  EXPECT_TRUE(server.Requests().empty());  // the request went to the proxy, not the server
}

TEST_F(QueryCDDBThreadTest, NothingIsWrittenOrPostedAfterStop) {
  CddbTestServer server([](const QString&) { return QByteArray(); }, CddbTestServer::Mode::Silent);
  settings_.server = server.HostPort();
  disc_.Artist = QStringLiteral("kept");
  QPointer<TQueryCDDBThread> worker = new TQueryCDDBThread(&sink_, toc_, settings_, &disc_, &rows_);
  worker->start();
  const QDeadlineTimer deadline(60000);
  while (server.Requests().empty() && !deadline.hasExpired()) QThread::msleep(5);
  worker->Stop();
  WaitForWorker(worker);
  EXPECT_TRUE(sink_.events.empty());
  EXPECT_EQ(disc_.Artist, QStringLiteral("kept"));
}

}  // namespace
}  // namespace trackmill
