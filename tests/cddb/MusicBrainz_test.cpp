#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QCoreApplication>
#include <QTemporaryDir>

#include "WebTestServer.h"
#include "cddb/MusicBrainzReply.h"
#include "cddb/MusicBrainzThread.h"
#include "cddb/MusicBrainzToc.h"
#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

using test::RunProgram;
using test::WebAnswer;
using test::WebTestServer;

QByteArray TestData(const char* name) { return test::ReadBytes(test::TestDataDir() + '/' + name); }
constexpr char kExampleId[] = "XKTznvZxXvPAHeLZlW4wFL1g.Uc-";

// The five pressed discs are checked against their published ids in PublishedDiscIds_test.
TEST(MusicBrainzToc, IdAndTocTextOfTheExampleReply) {
  const MusicBrainzToc example = MakeMusicBrainzToc(1, {150, 22650, 56400}, {}, 90150);
  EXPECT_EQ(example.discId, QLatin1String(kExampleId));
  EXPECT_EQ(example.tocText, QStringLiteral("1+3+90150+150+22650+56400"));
  EXPECT_TRUE(MakeMusicBrainzToc(1, {150, 100}, {}, 900).discId.isEmpty());  // not ascending
}

TEST(MusicBrainzReply, FillsTheDiscFieldsFromTheMediumThatHoldsTheDisc) {
  const MusicBrainzReply reply = ParseMusicBrainzReply(TestData("musicbrainz-discid-example.json"), kExampleId, 3);
  ASSERT_TRUE(reply.valid);
  ASSERT_EQ(reply.releases.size(), 1u);
  const MusicBrainzRelease& release = reply.releases[0];
  EXPECT_EQ(release.title, QStringLiteral("Sine Studies"));
  EXPECT_EQ(release.artist, QStringLiteral("The Generated Ensemble"));
  EXPECT_EQ(release.Year(), QStringLiteral("2026"));
  EXPECT_EQ(release.genre, QStringLiteral("Ambient"));  // "ambient" matched without regard to case
  EXPECT_TRUE(release.hasFrontCover);
  ASSERT_EQ(release.tracks.size(), 3u);
  EXPECT_EQ(release.tracks[1].artist, QStringLiteral("The Generated Ensemble feat. Zoë Ñandú"));

  // The fuzzy reply names no disc: the medium with the disc's track count is taken.
  EXPECT_EQ(ParseMusicBrainzReply(TestData("musicbrainz-discid-example.json"), "other", 3).releases[0].tracks.size(), 3u);
  EXPECT_TRUE(ParseMusicBrainzReply(TestData("musicbrainz-discid-example.json"), "other", 4).releases[0].tracks.empty());
  for (const char* broken : {"", "{", "[]", "{\"releases\": 5}", "<html>busy</html>"})
    EXPECT_FALSE(ParseMusicBrainzReply(broken, kExampleId, 3).valid) << broken;
  EXPECT_TRUE(ParseMusicBrainzReply(R"({"releases":[1,{"media":"x","artist-credit":[2]}]})", "", 1).valid);
}

// The command against a loopback service, with a 3-track image whose id the replies name.
class MusicBrainzCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    image_ = dir_.filePath(QStringLiteral("disc"));
    const auto made = RunProgram(test::ToolProgram(QStringLiteral("discimage")),
                                 {"--out", image_, "--track", "30s", "--track", "45s", "--track", "20s"});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    image_ += QStringLiteral(".cue");
    discId_ = MakeMusicBrainzToc(1, {150, 2400, 5775}, {}, 7275).discId;
    cddbIdentifier_ = DiscIdText(CddbDiscId({150, 2400, 5775}, 7275));
    QFile::remove(DiscInfoFilePath());
    QFile::remove(DiscCoverPath(cddbIdentifier_));
  }

  // The example reply for this disc; releaseCount copies of its release, numbered.
  QByteArray Reply(int releaseCount, bool holdsDisc = true) const {
    QByteArray example = TestData("musicbrainz-discid-example.json");
    if (holdsDisc) example.replace(kExampleId, discId_.toLatin1());
    QJsonObject root = QJsonDocument::fromJson(example).object();
    const QJsonObject release = root["releases"].toArray()[0].toObject();
    QJsonArray releases;
    for (int i = 1; i <= releaseCount; ++i) {
      QJsonObject copy = release;
      copy["title"] = QStringLiteral("Sine Studies %1").arg(i);
      copy["country"] = i == 1 ? "XW" : "DE";
      releases.append(copy);
    }
    root["releases"] = releases;
    return QJsonDocument(root).toJson();
  }

  test::ProcessResult Run(const QString& server, QStringList extra = {}) {
    const QStringList args{"musicbrainz", "--disc-image", image_, "--server", server, "--coverart-server", server};
    return RunProgram(test::TrackmillProgram(), args + extra);
  }

  QTemporaryDir dir_;
  QString image_, discId_, cddbIdentifier_;
};

TEST_F(MusicBrainzCommandTest, OneReleaseFillsTheRecordAndKeepsTheCover) {
  if (!test::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg missing";
  const QString jpegPath = dir_.filePath("front.jpg");
  ASSERT_EQ(RunProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=s=96x96", "-frames:v", "1", jpegPath}).exitCode, 0);
  const QByteArray jpeg = test::ReadBytes(jpegPath);
  WebTestServer server([&](const QString& target) {
    if (target.startsWith("/ws/2/discid/" + discId_ + "?")) return WebAnswer{200, Reply(1)};
    if (target.endsWith("/front-500")) return WebAnswer{307, {}, "text/plain", "/images/front.jpg"};
    if (target == "/images/front.jpg") return WebAnswer{200, jpeg, "image/jpeg"};
    return WebAnswer{404, "{}"};
  });
  const auto run = Run(server.BaseUrl());
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_TRUE(run.out.contains("Arpeggio in Blue  (The Generated Ensemble feat. Zo\xC3\xAB \xC3\x91" "and\xC3\xBA)")) << run.out.constData();
  const auto requests = server.Requests();
  ASSERT_GE(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/ws/2/discid/" + discId_ + "?inc=artist-credits+recordings+genres&fmt=json");
  EXPECT_TRUE(requests[0].userAgent.startsWith("Trackmill/")) << requests[0].userAgent.constData();
  EXPECT_EQ(test::ReadBytes(DiscCoverPath(cddbIdentifier_)), jpeg);

  LoadDiscInfo(cddbIdentifier_);
  const DiscInfo& disc = Settings().Disc;
  EXPECT_EQ(disc.Artist, QStringLiteral("The Generated Ensemble"));
  EXPECT_EQ(disc.Album, QStringLiteral("Sine Studies 1"));
  EXPECT_EQ(disc.Year, QStringLiteral("2026"));
  EXPECT_EQ(disc.Titles[2], QStringLiteral("Coda"));
  EXPECT_EQ(disc.TrackArtists[1], QStringLiteral("The Generated Ensemble feat. Zoë Ñandú"));
  EXPECT_TRUE(disc.TrackArtists[0].isEmpty());
  EXPECT_FALSE(disc.MusicBrainzRelease.isEmpty());
}

TEST_F(MusicBrainzCommandTest, SeveralReleasesAreListedAndChosen) {
  WebTestServer server([&](const QString&) { return WebAnswer{200, Reply(2)}; });
  const auto unattended = Run(server.BaseUrl());
  EXPECT_EQ(unattended.exitCode, 2);
  EXPECT_TRUE(unattended.out.contains("  1. Sine Studies 1 - The Generated Ensemble (2026-03-14, XW)")) << unattended.out.constData();
  EXPECT_TRUE(unattended.out.contains("  2. Sine Studies 2"));
  EXPECT_FALSE(QFile::exists(DiscInfoFilePath()));

  ASSERT_EQ(Run(server.BaseUrl(), {"--release", "2"}).exitCode, 0);
  LoadDiscInfo(cddbIdentifier_);
  EXPECT_EQ(Settings().Disc.Album, QStringLiteral("Sine Studies 2"));
  EXPECT_EQ(Run(server.BaseUrl(), {"--release", "3"}).exitCode, 2);
  ASSERT_EQ(Run(server.BaseUrl(), {"--yes"}).exitCode, 0);
  LoadDiscInfo(cddbIdentifier_);
  EXPECT_EQ(Settings().Disc.Album, QStringLiteral("Sine Studies 1"));

  // On a terminal the user is asked (script(1) gives the command one).
  const QString command = QStringList{test::TrackmillProgram(), "musicbrainz", "--disc-image", image_, "--server",
                                      server.BaseUrl(), "--coverart-server", server.BaseUrl()}.join(' ');
  const auto asked = RunProgram("sh", {"-c", "printf '2\\n' | script -qec '" + command + "' /dev/null"});
  ASSERT_EQ(asked.exitCode, 0) << asked.out.constData();
  EXPECT_TRUE(asked.out.contains("Release (1-2): ")) << asked.out.constData();
  LoadDiscInfo(cddbIdentifier_);
  EXPECT_EQ(Settings().Disc.Album, QStringLiteral("Sine Studies 2"));
}

TEST_F(MusicBrainzCommandTest, UnknownIdFallsBackToTheTableOfContents) {
  WebTestServer server([&](const QString& target) {
    if (target.startsWith("/ws/2/discid/-?toc=1+3+7275+150+2400+5775&")) return WebAnswer{200, Reply(1, false)};
    return WebAnswer{404, R"({"error": "Not Found"})"};
  });
  const auto run = Run(server.BaseUrl(), {"--yes"});
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_TRUE(run.out.contains("Morning Scale"));
  EXPECT_EQ(server.Requests().size(), 2u + 1u);  // id, toc, then the cover (not found)
}

TEST_F(MusicBrainzCommandTest, ACoverCutShortIsNotKept) {
  WebTestServer server([&](const QString& target) {
    if (!target.endsWith("/front-500")) return WebAnswer{200, Reply(1)};
    WebAnswer cut{200, "\xFF\xD8\xFF\xE0 the first bytes of a JPEG", "image/jpeg"};
    cut.declaredLength = 5000;
    return cut;
  });
  const auto run = Run(server.BaseUrl());
  ASSERT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_TRUE(run.err.contains("the cover could not be fetched")) << run.err.constData();
  EXPECT_FALSE(QFile::exists(DiscCoverPath(cddbIdentifier_)));
}

TEST_F(MusicBrainzCommandTest, FailuresAreReportedAndLeaveNoRecord) {
  WebTestServer none([](const QString&) { return WebAnswer{404, "{}"}; });
  auto run = Run(none.BaseUrl());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("knows no release")) << run.err.constData();

  WebTestServer malformed([](const QString&) { return WebAnswer{200, "<html>oops"}; });
  run = Run(malformed.BaseUrl());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("not a disc lookup reply")) << run.err.constData();

  run = Run(test::DeadServerUrl());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("could not be reached")) << run.err.constData();
  EXPECT_FALSE(QFile::exists(DiscInfoFilePath()));

  EXPECT_EQ(Run("ftp://example.org").exitCode, 2);
}

TEST_F(MusicBrainzCommandTest, BusyServerIsAskedOnceMore) {
  std::atomic<int> asked{0};
  WebTestServer busy([&](const QString& target) {
    if (!target.startsWith("/ws/")) return WebAnswer{404, {}};
    return ++asked == 1 ? WebAnswer{503, "slow down"} : WebAnswer{200, Reply(1)};
  });
  const auto run = Run(busy.BaseUrl());
  EXPECT_EQ(run.exitCode, 0) << run.err.constData();
  EXPECT_EQ(asked.load(), 2);

  WebTestServer alwaysBusy([](const QString&) { return WebAnswer{503, "slow down"}; });
  const auto refused = Run(alwaysBusy.BaseUrl());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(alwaysBusy.Requests().size(), 2u);
}

// The window's side: the worker's one event, received on the main thread.
class EventCatcher : public QObject {
 public:
  MusicBrainzLookup lookup;
  CoverFetch cover;
  int count = 0;
  bool event(QEvent* e) override {
    if (e->type() != MusicBrainzEvent::EventType()) return QObject::event(e);
    lookup = static_cast<MusicBrainzEvent*>(e)->lookup;
    cover = static_cast<MusicBrainzEvent*>(e)->cover;
    ++count;
    return true;
  }
};

TEST(MusicBrainzThread, LooksUpAndFetchesOffTheMainThreadAndStaysSilentOnceStopped) {
  const MusicBrainzToc toc = MakeMusicBrainzToc(1, {150, 22650, 56400}, {}, 90150);
  WebTestServer server([](const QString& target) {
    if (target.endsWith("/front-500")) return WebAnswer{200, "\xFF\xD8\xFF\xE0 jpeg", "image/jpeg"};
    return WebAnswer{200, TestData("musicbrainz-discid-example.json")};
  });
  MusicBrainzServers servers;
  servers.server = servers.coverArtServer = server.BaseUrl();
  EventCatcher window;
  const auto runToEnd = [](TMusicBrainzThread* worker) {
    worker->start();
    worker->wait();  // it is deleted only below, by its deferred deletion
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  runToEnd(new TMusicBrainzThread(&window, toc, servers));
  ASSERT_EQ(window.count, 1);
  ASSERT_EQ(window.lookup.releases.size(), 1u);
  EXPECT_EQ(window.lookup.releases[0].tracks[2].title, QStringLiteral("Coda"));

  runToEnd(new TMusicBrainzThread(&window, QStringLiteral("0b9a6c55"), servers));
  EXPECT_EQ(window.count, 2);
  EXPECT_TRUE(window.cover.jpeg.startsWith("\xFF\xD8\xFF"));

  auto* stopped = new TMusicBrainzThread(&window, toc, servers);
  stopped->Stop();
  runToEnd(stopped);
  EXPECT_EQ(window.count, 2);
}

}  // namespace
}  // namespace trackmill
