#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <future>

#include "CddbTestServer.h"
#include "settings/DiscInfoStore.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::CddbTestServer;
using test::RunProgram;

// A three-track image: 30 s, 45 s and 20 s of audio, track 1 at the usual 2-second address.
const std::vector<qint32> kStarts = {150, 150 + 2250, 150 + 2250 + 3375};
constexpr qint32 kLeadOut = 150 + 2250 + 3375 + 1500;

class CddbCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    image_ = dir_.filePath(QStringLiteral("disc"));
    const auto made = RunProgram(test::ToolProgram(QStringLiteral("discimage")),
                                 {"--out", image_, "--track", "30s", "--track", "45s", "--track", "20s"});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    image_ += QStringLiteral(".cue");
    discId_ = QStringLiteral("%1").arg(test::ReferenceCddbDiscId(kStarts, kLeadOut), 8, 16, QLatin1Char('0'));
    QFile::remove(DiscInfoFilePath());
  }

  test::ProcessResult Cddb(const CddbTestServer& server, QStringList extra) {
    QStringList args{"cddb", "--disc-image", image_, "--server", server.HostPort()};
    return RunProgram(test::TrackmillProgram(), args + extra);
  }

  QByteArray Answer(const QString& cmd) const {
    if (cmd.startsWith(QLatin1String("cddb query"))) {
      return QStringLiteral("200 blues %1 Test Artist / Test Album\r\n").arg(discId_).toUtf8();
    }
    return test::CddbEntryReply(QStringLiteral("blues"), discId_,
                                QStringLiteral("# xmcd\nDISCID=%1\nDTITLE=Test Artist / Test Album\n"
                                               "DYEAR=1971\nDGENRE=Blues\nTTITLE0=Morning\n"
                                               "TTITLE1=Noon\nTTITLE2=Night\nEXTD=\n")
                                    .arg(discId_));
  }

  QTemporaryDir dir_;
  QString image_;
  QString discId_;
};

TEST_F(CddbCommandTest, LooksUpPrintsAndKeepsTheTitles) {
  CddbTestServer server([this](const QString& cmd) { return Answer(cmd); });
  const auto run = Cddb(server, {"--email", "ripper@example.org"});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const QString out = QString::fromUtf8(run.out);
  for (const char* expected : {"Test Artist", "Test Album", "1971", "Blues", "Morning", "Noon", "Night"}) {
    EXPECT_TRUE(out.contains(QLatin1String(expected))) << expected << "\n" << out.toStdString();
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].cmd, QStringLiteral("cddb query %1 3 150 2400 5775 97").arg(discId_));
  EXPECT_TRUE(requests[0].hello.startsWith(QLatin1String("ripper@example.org ")));
  EXPECT_EQ(requests[1].cmd, QStringLiteral("cddb read blues %1").arg(discId_));

  // Stored under the disc's identifier for toc and rip.
  const quint32 id = test::ReferenceCddbDiscId(kStarts, kLeadOut);
  LoadDiscInfo(DiscIdText(id));
  const DiscInfo& disc = Settings().Disc;
  EXPECT_EQ(disc.Artist, QStringLiteral("Test Artist"));
  EXPECT_EQ(disc.Album, QStringLiteral("Test Album"));
  EXPECT_EQ(disc.Year, QStringLiteral("1971"));
  EXPECT_EQ(disc.Genre, 18);
  EXPECT_EQ(disc.TrackNumber, 3);
  EXPECT_EQ(disc.Titles[2], QStringLiteral("Night"));

  const auto toc = RunProgram(test::TrackmillProgram(), {"toc", "--disc-image", image_});
  ASSERT_EQ(toc.exitCode, 0) << toc.err.constData();
  EXPECT_TRUE(toc.out.contains("Morning") && toc.out.contains("Night")) << toc.out.constData();
}

TEST_F(CddbCommandTest, ProxyOptionAndEmailFromTheSettingsFile) {
  QFile ini(SettingsFilePath());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[QueryCDDB]\nEmail=ini@example.org\n");
  ini.close();
  CddbTestServer proxy([this](const QString& cmd) { return Answer(cmd); });
  const auto run = RunProgram(test::TrackmillProgram(),
                              {"cddb", "--disc-image", image_, "--server", "cddb.invalid:8880",
                               "--proxy", proxy.HostPort()});
  QFile::remove(SettingsFilePath());
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  const auto requests = proxy.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_TRUE(requests[0].target.startsWith(QLatin1String("http://cddb.invalid:8880/")));
  EXPECT_TRUE(requests[0].hello.startsWith(QLatin1String("ini@example.org ")));
}

TEST_F(CddbCommandTest, LookupsAtOnceAllKeepTheirDiscs) {
  constexpr int kDiscs = 8;
  QStringList images;
  for (int disc = 0; disc < kDiscs; ++disc) {  // a different playing time gives each its own id
    const QString image = dir_.filePath(QStringLiteral("disc%1").arg(disc));
    const auto made = RunProgram(test::ToolProgram(QStringLiteral("discimage")),
                                 {"--out", image, "--track", "2s", "--track", QStringLiteral("%1s").arg(3 + disc)});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    images << image + QStringLiteral(".cue");
  }
  CddbTestServer server([](const QString& cmd) {
    const QString id = cmd.section(u' ', 2, 2);
    if (cmd.startsWith(QLatin1String("cddb query")))
      return QStringLiteral("200 blues %1 Artist / Album %1\r\n").arg(id).toUtf8();
    return test::CddbEntryReply("blues", id, "DISCID=" + id + "\nDTITLE=Artist / Album " + id + "\n");
  });
  for (int round = 0; round < 3; ++round) {
    QFile::remove(DiscInfoFilePath());
    std::vector<std::future<test::ProcessResult>> runs;
    for (const QString& image : images)
      runs.push_back(std::async(std::launch::async, [&server, image] {
        return RunProgram(test::TrackmillProgram(),
                          {"cddb", "--disc-image", image, "--server", server.HostPort(), "--email", "a@b.org"});
      }));
    for (auto& run : runs) {
      const test::ProcessResult result = run.get();
      EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    }
    EXPECT_EQ(IniFile::Load(DiscInfoFilePath()).SectionNames().size(), kDiscs) << "round " << round;
  }
}

TEST_F(CddbCommandTest, FailuresExitNonZeroWithAClearMessage) {
  struct Case {
    const char* name;
    QByteArray reply;
    QStringList extra;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no e-mail", "202 No match\r\n", {}, "[QueryCDDB]"},
      {"no match", "202 No match found\r\n", {"--email", "a@b.org"}, "No match"},
      {"refused", "409 No handshake\r\n", {"--email", "a@b.org"}, "refused"},
  };
  for (const Case& c : cases) {
    CddbTestServer server([&c](const QString&) { return c.reply; });
    const auto run = Cddb(server, c.extra);
    EXPECT_NE(run.exitCode, 0) << c.name;
    EXPECT_TRUE(run.err.contains(c.message)) << c.name << ": " << run.err.constData();
  }
  quint16 closedPort = 0;
  {
    CddbTestServer gone([](const QString&) { return QByteArray(); });
    closedPort = gone.Port();
  }
  const auto run = RunProgram(test::TrackmillProgram(),
                              {"cddb", "--disc-image", image_, "--server",
                               QStringLiteral("127.0.0.1:%1").arg(closedPort), "--email", "a@b.org"});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_TRUE(run.err.contains("could not be reached")) << run.err.constData();
  EXPECT_FALSE(QFile::exists(DiscInfoFilePath()));  // nothing stored on failure

  // The lookup works but the titles cannot be stored: said, and not reported as success.
  ASSERT_TRUE(QDir().mkpath(DiscInfoFilePath() + "/in-the-way"));
  CddbTestServer server([this](const QString& cmd) { return Answer(cmd); });
  const auto unsaved = Cddb(server, {"--email", "a@b.org"});
  QDir(DiscInfoFilePath()).removeRecursively();
  EXPECT_NE(unsaved.exitCode, 0);
  EXPECT_TRUE(unsaved.out.contains("Morning"));
  EXPECT_TRUE(unsaved.err.contains("could not be saved")) << unsaved.err.constData();
}

}  // namespace
}  // namespace trackmill
