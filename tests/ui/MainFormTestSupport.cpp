#include "tests/ui/MainFormTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "cd/Drive.h"
#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"

namespace trackmill::test {

void MainFormTest::SetUp() {
  QFile::remove(SettingsFilePath());
  QFile::remove(DiscInfoFilePath());
  ClearDiscImages();
  WriteOptions();
}

void MainFormTest::TearDown() {
  EXPECT_TRUE(answerer_.unexpectedBoxes.isEmpty()) << answerer_.unexpectedBoxes.join(" | ").toStdString();
  QDir(SettingsFilePath()).removeRecursively();
  ClearDiscImages();
}

void MainFormTest::WriteOptions(const QByteArray& lines) {
  // A rip never reaches the real checksum database unless the test names a server of its own.
  const QByteArray offline = lines.contains("[AccurateRip]") ? "" : "[AccurateRip]\nUse=0\n";
  ASSERT_TRUE(WriteBytes(SettingsFilePath(),
                         offline + "[CommonOptions]\nOutputFolder=" + out_.path().toUtf8() + "\n" + lines));
}

std::unique_ptr<TMainForm> MainFormTest::Open(const QString& image) {
  auto form = std::make_unique<TMainForm>(image);
  form->show();
  Activate(*form);
  return form;
}

void MainFormTest::Activate(QWidget& window) {
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

QString MainFormTest::SomeDisc() {
  if (!someDisc_) someDisc_ = std::make_unique<TestDisc>(QStringList{"1s", "1s"});
  EXPECT_TRUE(someDisc_->Ok());
  return someDisc_->CuePath();
}

QStringList MainFormTest::Column(TMainForm& form, int column) {
  QStringList texts;
  QTreeWidget* list = List(form);
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

void MainFormTest::ExpectTaggedMp3WithoutWav(int track, double seconds) {
  const QString mp3 = out_.filePath(QStringLiteral("Track0%1.mp3").arg(track));
  EXPECT_NEAR(ProbeDuration(mp3), seconds, 0.1) << track;
  const QString tags = ProbeField(mp3, "format_tags=title,artist,track");
  EXPECT_TRUE(tags.contains(QStringLiteral("title=Track0%1").arg(track))) << tags.toStdString();
  EXPECT_TRUE(tags.contains("artist=Someone")) << tags.toStdString();
  EXPECT_FALSE(QFile::exists(out_.filePath(QStringLiteral("Track0%1.wav").arg(track))));
}

}  // namespace trackmill::test
