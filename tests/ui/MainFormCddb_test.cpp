#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "CddbTestServer.h"
#include "cd/Drive.h"
#include "settings/Settings.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/QueryCDDBForm.h"
#include "ui/StopQueryForm.h"

namespace trackmill::test {
namespace {

QByteArray Entry(const QString& cmd, const QString& album, const QStringList& titles) {
  if (cmd.startsWith(QLatin1String("cddb query"))) return "200 blues 12345678 Test Artist / " + album.toUtf8() + "\r\n";
  QString entry = "# xmcd\nDTITLE=Test Artist / " + album + "\nDYEAR=1971\nDGENRE=Blues\n";
  for (int i = 0; i < titles.size(); ++i) entry += QStringLiteral("TTITLE%1=%2\n").arg(i).arg(titles[i]);
  return CddbEntryReply("blues", "12345678", entry);
}

TEST_F(MainFormTest, QueryFreedbFillsTheListAndStopAbandonsASlowServer) {
  TestDisc disc({"1s", "1s", "1s"});
  ASSERT_TRUE(disc.Ok());
  std::atomic<bool> slow = false;
  CddbTestServer server([&](const QString& cmd) {
    if (!slow) return Entry(cmd, "First Album", {"Morning", "Noon", "Night"});
    QThread::msleep(1500);
    return Entry(cmd, "Late Album", {"Late 1", "Late 2", "Late 3"});
  });
  // A server of the user's own, not in the list, stays the one asked.
  WriteOptions("[QueryCDDB]\nServer=" + server.HostPort().toUtf8() + "\nEmail=ripper@example.org\n");
  auto form = Open(disc.CuePath());
  QAction* query = Action(*form, "aQueryCDDB");
  ASSERT_TRUE(query && query->isEnabled());

  QString serverShown;
  bool proxyFieldsEnabled = true;
  answerer_.OnWindow<TfrmQueryCDDB>([&](TfrmQueryCDDB* window) {
    serverShown = window->findChild<QComboBox*>("cbServer")->currentText();
    proxyFieldsEnabled = window->findChild<QLineEdit*>("edProxyAddress")->isEnabled();
    QTimer::singleShot(0, window->findChild<QPushButton*>("btQuery"), &QPushButton::click);
  });
  query->trigger();
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_EQ(serverShown, server.HostPort());
  EXPECT_FALSE(proxyFieldsEnabled);
  EXPECT_EQ(Column(*form, 1), QStringList({"Morning", "Noon", "Night"}));
  const DiscInfo& found = Settings().Disc;
  EXPECT_EQ(found.Artist, "Test Artist");
  EXPECT_EQ(found.Album, "First Album");
  EXPECT_EQ(found.Year, "1971");
  EXPECT_EQ(found.Genre, 18);  // Blues in the genre list

  slow = true;
  const size_t requestsBefore = server.Requests().size();
  QPointer<TQueryCDDBThread> worker;
  bool closedAtOnce = false;
  bool queryWindowStayed = false;
  answerer_.OnWindow<TfrmQueryCDDB>([&](TfrmQueryCDDB* window) {
    QTimer::singleShot(0, window, [&, window] {
      window->findChild<QPushButton*>("btQuery")->click();  // returns when the progress window ends
      queryWindowStayed = window->isVisible();
      window->reject();
    });
  });
  answerer_.OnWindow<TfrmStopQuery>([&](TfrmStopQuery* progress) {
    worker = progress->Worker();
    auto* poll = new QTimer(progress);
    QObject::connect(poll, &QTimer::timeout, progress, [&, progress] {
      if (server.Requests().size() == requestsBefore) return;  // Stop while the server thinks
      progress->findChild<QPushButton*>("btStop")->click();
      closedAtOnce = !progress->isVisible() && progress->result() == QDialog::Rejected;
    });
    poll->start(20);
  });
  query->trigger();
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_TRUE(closedAtOnce);
  EXPECT_TRUE(queryWindowStayed);
  // The abandoned worker ends by itself; even once the server has answered, nothing is written.
  ASSERT_TRUE(QTest::qWaitFor([&] { return worker.isNull(); }, 15000));
  QTest::qWait(1600);
  EXPECT_EQ(Column(*form, 1), QStringList({"Morning", "Noon", "Night"}));
  EXPECT_EQ(Settings().Disc.Album, "First Album");
  form->close();
}

TEST_F(MainFormTest, QueryFreedbWithAnUnreadableTocSaysSoAndOpensNothing) {
  auto form = Open(SomeDisc());
  ASSERT_TRUE(Action(*form, "aQueryCDDB")->isEnabled());
  form->Drive()->Close();  // the drive went away under the listed disc
  answerer_.AnswerBox();
  Action(*form, "aQueryCDDB")->trigger();
  EXPECT_EQ(answerer_.boxTexts, QStringList({"Error while reading TOC information!"}));
  EXPECT_EQ(answerer_.boxIcons, QList({QMessageBox::Critical}));
  answerer_.AnswerBox();  // closing cannot close the handle that went away
  form->close();
  EXPECT_EQ(answerer_.boxTexts.size(), 2);
}

}  // namespace
}  // namespace trackmill::test
