#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include "WebTestServer.h"
#include "cddb/MusicBrainzToc.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/ReleaseChooserForm.h"

namespace trackmill::test {
namespace {

// The example reply with its disc id replaced by that of the 30 s + 45 s + 20 s disc; the
// releases are copies numbered in their titles.
QByteArray Reply(int releaseCount) {
  QByteArray example = ReadBytes(TestDataDir() + "/musicbrainz-discid-example.json");
  example.replace("XKTznvZxXvPAHeLZlW4wFL1g.Uc-", MakeMusicBrainzToc(1, {150, 2400, 5775}, {}, 7275).discId.toLatin1());
  QJsonObject root = QJsonDocument::fromJson(example).object();
  const QJsonObject release = root["releases"].toArray()[0].toObject();
  QJsonArray releases;
  for (int i = 1; i <= releaseCount; ++i) {
    QJsonObject copy = release;
    copy["title"] = QStringLiteral("Sine Studies %1").arg(i);
    releases.append(copy);
  }
  root["releases"] = releases;
  return QJsonDocument(root).toJson();
}

TEST_F(MainFormTest, QueryMusicBrainzFillsTitlesLetsTheUserChooseAndReportsFailures) {
  TestDisc disc({"30s", "45s", "20s"});
  ASSERT_TRUE(disc.Ok());
  int releaseCount = 1;
  WebTestServer server([&](const QString&) { return WebAnswer{200, Reply(releaseCount)}; });
  WriteOptions("[MusicBrainz]\nServer=" + server.BaseUrl().toUtf8() + "\nCoverArt=0\n");
  auto form = Open(disc.CuePath());
  QAction* query = Action(*form, "miQueryMusicBrainz");
  ASSERT_TRUE(query && query->isEnabled());

  query->trigger();
  EXPECT_FALSE(query->isEnabled());  // while the service is asked, the window goes on
  const QStringList titles = {"Morning Scale", "Arpeggio in Blue", "Coda"};
  ASSERT_TRUE(QTest::qWaitFor([&] { return Column(*form, 1) == titles; }, 10000)) << Column(*form, 1).join('|').toStdString();
  EXPECT_TRUE(query->isEnabled());
  EXPECT_EQ(Settings().Disc.Album, "Sine Studies 1");

  releaseCount = 3;
  QStringList listed;
  answerer_.OnWindow<TfrmReleaseChooser>([&](TfrmReleaseChooser* chooser) {
    auto* releases = chooser->findChild<QTreeWidget*>("lvReleases");
    for (int i = 0; i < releases->topLevelItemCount(); ++i) listed << releases->topLevelItem(i)->text(0);
    releases->setCurrentItem(releases->topLevelItem(1));
    QTimer::singleShot(0, chooser, &QDialog::accept);
  });
  query->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Settings().Disc.Album == QString("Sine Studies 2"); }, 10000));
  EXPECT_EQ(listed, QStringList({"Sine Studies 1", "Sine Studies 2", "Sine Studies 3"}));

  Settings().MusicBrainzServer = DeadServerUrl();
  answerer_.AnswerBox();
  query->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer_.boxTexts.size() == 1; }, 10000));
  EXPECT_EQ(answerer_.boxIcons, QList({QMessageBox::Critical}));
  EXPECT_EQ(Column(*form, 1), QStringList({"Morning Scale", "Arpeggio in Blue", "Coda"}));
  form->close();
}

}  // namespace
}  // namespace trackmill::test
