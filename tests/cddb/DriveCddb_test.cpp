#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <array>
#include <cstring>

#include "CddbTestServer.h"
#include "cddb/DriveCddb.h"

namespace trackmill {
namespace {

using test::CddbTestServer;

CddbToc RandomToc(QRandomGenerator& random) {
  CddbToc toc;
  const int tracks = random.bounded(1, 100);
  qint32 frame = 150 + random.bounded(0, 300);
  for (int i = 0; i < tracks; ++i) {
    toc.trackStartFrames.push_back(frame);
    frame += random.bounded(75 * 4, 75 * 600);
  }
  toc.leadOutFrame = frame;
  return toc;
}

class DriveCddbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    options_.email = QStringLiteral("ripper@example.org");
    options_.client = QStringLiteral("trackmill 4.1");
    options_.helloHost = QStringLiteral("testhost");
    options_.script = QStringLiteral("/~cddb/cddb.cgi");
    options_.connectTimeoutMs = 2000;
    options_.requestTimeoutMs = 2000;
  }
  int RunQuery(const CddbToc& toc, TCDDBQuery& query) {
    outcome_ = CDDBQuery(options_, toc, query);
    return outcome_.ok ? 1 : 0;
  }
  int Fetch(const TCDDBQueryItem& item, char* buffer, int size) {
    outcome_ = CDDBGetDiskInfo(options_, item, buffer, size);
    return outcome_.ok ? 1 : 0;
  }
  int LastError() const { return outcome_.error; }
  CddbOptions options_;
  CddbOutcome outcome_;

  static CddbToc ThreeTracks() {
    CddbToc toc;
    toc.trackStartFrames = {150, 18000, 40125};
    toc.leadOutFrame = 61000;
    return toc;
  }

  std::array<TCDDBQueryItem, kCddbMatchCapacity> items_{};
  TCDDBQuery Query() {
    std::memset(items_.data(), 0, sizeof items_);
    TCDDBQuery query;
    query.num = kCddbMatchCapacity;
    query.q = items_.data();
    return query;
  }
};

TEST_F(DriveCddbTest, QueryLineCarriesDiscIdOffsetsLengthAndHello) {
  CddbTestServer server([](const QString&) { return QByteArray("202 No match found\r\n"); });
  options_.server = server.HostPort();
  QRandomGenerator random(4711);
  for (int round = 0; round < 20; ++round) {
    const CddbToc toc = RandomToc(random);
    TCDDBQuery query = Query();
    ASSERT_EQ(RunQuery(toc, query), 1);
    EXPECT_EQ(query.num, 0);
    EXPECT_EQ(LastError(), 202);

    QStringList expected{QStringLiteral("cddb"), QStringLiteral("query"),
                         QStringLiteral("%1").arg(test::ReferenceCddbDiscId(toc.trackStartFrames, toc.leadOutFrame), 8, 16, QLatin1Char('0')),
                         QString::number(toc.trackStartFrames.size())};
    for (const qint32 frame : toc.trackStartFrames) expected << QString::number(frame);
    expected << QString::number(toc.leadOutFrame / 75);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), static_cast<size_t>(round + 1));
    EXPECT_EQ(requests.back().cmd, expected.join(QLatin1Char(' ')));
    EXPECT_EQ(requests.back().hello, QStringLiteral("ripper@example.org testhost trackmill 4.1"));
    EXPECT_EQ(requests.back().proto, QStringLiteral("6"));
    EXPECT_TRUE(requests.back().target.startsWith(QLatin1String("/~cddb/cddb.cgi?")));
  }
}

TEST_F(DriveCddbTest, MatchesAreFilledAndReadBack) {
  CddbTestServer server([](const QString& cmd) -> QByteArray {
    if (cmd.startsWith(QLatin1String("cddb query"))) {
      return "211 Found inexact matches\r\nrock 0a0b0c03 Some Band / First Album\r\n"
             "jazz 0a0b0c04 Other / Second\r\n.\r\n";
    }
    if (cmd == QLatin1String("cddb read jazz 0a0b0c04")) {
      return test::CddbEntryReply("jazz", "0a0b0c04", "# xmcd\nDTITLE=Other / Second\nTTITLE0=x");
    }
    return "401 jazz No such CD entry in database\r\n";
  });
  options_.server = server.HostPort();
  TCDDBQuery query = Query();
  ASSERT_EQ(RunQuery(ThreeTracks(), query), 1);
  ASSERT_EQ(query.num, 2);
  EXPECT_STREQ(items_[0].categ, "rock");
  EXPECT_STREQ(items_[0].cddbId, "0a0b0c03");
  EXPECT_STREQ(items_[0].artist, "Some Band");
  EXPECT_STREQ(items_[0].title, "First Album");

  std::vector<char> buffer(kDiscInfoBufferBytes, 'z');
  ASSERT_EQ(Fetch(items_[1], buffer.data(), kDiscInfoBufferBytes), 1);
  EXPECT_STREQ(buffer.data(), "# xmcd\nDTITLE=Other / Second\nTTITLE0=x");
  EXPECT_EQ(Fetch(items_[0], buffer.data(), kDiscInfoBufferBytes), 0);
  EXPECT_EQ(LastError(), 401);
}

TEST_F(DriveCddbTest, QueryCapacityBoundsTheMatches) {
  CddbTestServer server([](const QString&) {
    return QByteArray("210 exact\r\nrock 1 A\r\nrock 2 B\r\nrock 3 C\r\n.\r\n");
  });
  options_.server = server.HostPort();
  std::array<TCDDBQueryItem, 3> guarded{};  // a capacity of 2 must leave the third untouched
  TCDDBQuery query{2, guarded.data()};
  ASSERT_EQ(RunQuery(ThreeTracks(), query), 1);
  EXPECT_EQ(query.num, 2);
  EXPECT_EQ(guarded[2].categ[0], '\0');
}

TEST_F(DriveCddbTest, ErrorsAreKeptAsTheLastError) {
  struct Case {
    QByteArray reply;
    int error;
  };
  for (const Case& c : {Case{"403 Database entry is corrupt\r\n", 403},
                        Case{"500 Command syntax error\r\n", 500},
                        Case{"<html>Moved</html>", kCddbErrorBadReply}}) {
    CddbTestServer server([&c](const QString&) { return c.reply; });
    options_.server = server.HostPort();
    TCDDBQuery query = Query();
    EXPECT_EQ(RunQuery(ThreeTracks(), query), 0) << c.reply.constData();
    EXPECT_EQ(LastError(), c.error);
  }
}

TEST_F(DriveCddbTest, QueryWithoutEmailIsRefusedBeforeAnyRequest) {
  CddbTestServer server([](const QString&) { return QByteArray("202 No match\r\n"); });
  options_.server = server.HostPort();
  options_.email = QStringLiteral("  ");
  TCDDBQuery query = Query();
  EXPECT_EQ(RunQuery(ThreeTracks(), query), 0);
  EXPECT_EQ(LastError(), kCddbErrorNoEmail);
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(CddbErrorText(kCddbErrorNoEmail).contains(QLatin1String("[QueryCDDB]")));
}

TEST_F(DriveCddbTest, ProxyReceivesTheRequestWithTheServerInTheTarget) {
  CddbTestServer proxy([](const QString&) { return QByteArray("202 No match\r\n"); });
  options_.server = QStringLiteral("cddb.invalid:8880");
  options_.useProxy = true;
  options_.proxyHost = QStringLiteral("127.0.0.1");
  options_.proxyPort = proxy.Port();
  TCDDBQuery query = Query();
  ASSERT_EQ(RunQuery(ThreeTracks(), query), 1);
  const auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].target.startsWith(QLatin1String("http://cddb.invalid:8880/~cddb/cddb.cgi?")))
      << requests[0].target.toStdString();
}

TEST_F(DriveCddbTest, UnreachableServerIsANetworkError) {
  quint16 closedPort = 0;
  {
    CddbTestServer gone([](const QString&) { return QByteArray(); });
    closedPort = gone.Port();
  }
  options_.server = QStringLiteral("127.0.0.1:%1").arg(closedPort);
  TCDDBQuery query = Query();
  EXPECT_EQ(RunQuery(ThreeTracks(), query), 0);
  EXPECT_EQ(LastError(), kCddbErrorNetwork);
}

TEST_F(DriveCddbTest, SilentServerTimesOut) {
  CddbTestServer server([](const QString&) { return QByteArray(); }, CddbTestServer::Mode::Silent);
  options_.server = server.HostPort();
  options_.requestTimeoutMs = 300;
  TCDDBQuery query = Query();
  EXPECT_EQ(RunQuery(ThreeTracks(), query), 0);
  EXPECT_EQ(LastError(), kCddbErrorTimeout);
}

TEST_F(DriveCddbTest, EndlessEntryStopsAtTheBuffer) {
  CddbTestServer server([](const QString&) { return QByteArray(); }, CddbTestServer::Mode::Endless);
  options_.server = server.HostPort();
  options_.requestTimeoutMs = 20000;
  TCDDBQueryItem item{};
  std::strcpy(item.categ, "rock");
  std::strcpy(item.cddbId, "12345678");
  // A guard zone after the buffer shows that nothing is written beyond its size.
  std::vector<char> memory(kDiscInfoBufferBytes + 4096, '#');
  ASSERT_EQ(Fetch(item, memory.data(), kDiscInfoBufferBytes), 1);
  const size_t length = std::strlen(memory.data());
  EXPECT_LT(length, static_cast<size_t>(kDiscInfoBufferBytes));
  EXPECT_GT(length, 20000u);
  EXPECT_EQ(memory[length - 1], '\n');  // cut at a line end, no half line
  for (size_t i = kDiscInfoBufferBytes; i < memory.size(); ++i) ASSERT_EQ(memory[i], '#');
}

TEST_F(DriveCddbTest, SmallBufferGetsWholeLinesOnly) {
  CddbTestServer server([](const QString&) {
    return test::CddbEntryReply("rock", "1", "DTITLE=A / B\nTTITLE0=Long title here");
  });
  options_.server = server.HostPort();
  TCDDBQueryItem item{};
  std::strcpy(item.categ, "rock");
  std::strcpy(item.cddbId, "1");
  char buffer[20];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_EQ(Fetch(item, buffer, 16), 1);
  EXPECT_STREQ(buffer, "DTITLE=A / B\n");
  EXPECT_EQ(buffer[19], '#');
}

TEST(SplitHostPort, Forms) {
  struct Case {
    const char* text;
    const char* host;
    int port;
  };
  for (const Case& c : {Case{"gnudb.gnudb.org", "gnudb.gnudb.org", 80},
                        Case{"127.0.0.1:8880", "127.0.0.1", 8880},
                        Case{"host:notaport", "host", 80}, Case{"host:70000", "host", 80},
                        Case{"[::1]:81", "::1", 81}, Case{" host:8080 ", "host", 8080}}) {
    QString host;
    int port = 0;
    SplitHostPort(QString::fromUtf8(c.text), 80, host, port);
    EXPECT_EQ(host, QString::fromUtf8(c.host)) << c.text;
    EXPECT_EQ(port, c.port) << c.text;
  }
}

}  // namespace
}  // namespace trackmill
