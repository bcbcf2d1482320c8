#include "ui/RipForm.h"

#include <QAbstractButton>
#include <QDir>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "CddbTestServer.h"

#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/EditTrackNameForm.h"
#include "ui/RipSummaryForm.h"

namespace trackmill::test {
namespace {

// What the user saw of the job windows that were shown while it existed.
class JobWatch : public QObject {
 public:
  explicit JobWatch(QWidget* owner) : owner_(owner) { qApp->installEventFilter(this); }

  QStringList captions;
  QStringList phases;
  bool sawInitializing = false;
  int highestGauge = 0;
  bool centred = false;
  std::function<void(TRipForm*)> onCaption;  // what the user does when the caption changes

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* job = qobject_cast<TRipForm*>(watched);
    if (job && event->type() == QEvent::Show) {
      connect(job, &QWidget::windowTitleChanged, this, [this, job] { Look(job); });
      connect(job->findChild<QProgressBar*>("FlatGauge1"), &QProgressBar::valueChanged, this,
              [this](int value) { highestGauge = std::max(highestGauge, value); });
    }
    return false;
  }

 private:
  void Look(TRipForm* job) {
    captions << job->windowTitle();
    const QString phase = job->findChild<QGroupBox*>("GroupBox1")->title();
    if (!phases.contains(phase)) phases << phase;
    sawInitializing |= job->findChild<QLabel*>("Label3")->isVisible();
    centred = qAbs(job->frameGeometry().center().x() - owner_->frameGeometry().center().x()) <= 1;
    if (onCaption) onCaption(job);
  }
  QWidget* owner_;
};

TEST_F(MainFormTest, ExtractRipsTheImageToWavThroughTheJobWindow) {
  TestDisc disc({"3s", "2s", "1s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=1\n");
  auto form = Open(disc.CuePath());
  QTreeWidget* list = List(*form);
  list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  JobWatch watch(form.get());
  QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);  // returns when the window has closed
  EXPECT_EQ(watch.captions, QStringList({"Extracting(01/02): Track01", "Extracting(02/02): Track03"}));
  EXPECT_TRUE(watch.sawInitializing);
  EXPECT_TRUE(watch.centred);
  for (int track : {1, 3}) {
    const QString wav = out_.filePath(QStringLiteral("Track0%1.wav").arg(track));
    EXPECT_TRUE(ProbeField(wav, "stream=codec_name,sample_rate,channels")
                    .contains("codec_name=pcm_s16le\nsample_rate=44100\nchannels=2"));
    EXPECT_EQ(ReadBytes(wav).mid(44), disc.ExpectedTrack(track)) << track;
  }
  EXPECT_FALSE(QFile::exists(out_.filePath("Track02.wav")));
  form->close();
}

TEST_F(MainFormTest, AStoredFlacFormatRipsToFlacThroughTheJobWindow) {
  TestDisc disc({"2s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=4\n");
  auto form = Open(disc.CuePath());
  QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);
  const QString flac = out_.filePath("Track01.flac");
  EXPECT_TRUE(ProbeField(flac, "stream=codec_name,sample_rate").contains("codec_name=flac\nsample_rate=44100"));
  if (HaveProgram("flac")) {
    EXPECT_EQ(RunProgram("flac", {"-t", "-s", flac}).exitCode, 0);
  }
  EXPECT_FALSE(QFile::exists(out_.filePath("Track01.wav")));
  form->close();
}

TEST_F(MainFormTest, ExtractRipsTheImageToTaggedMp3ThroughTheJobWindow) {
  TestDisc disc({"3s", "2s"}, {"--music"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=0\nEncoderProcesses=1\n[ID3]\nUse=1\n");  // one step after another
  auto form = Open(disc.CuePath());
  Settings().Disc.Artist = "Someone";
  JobWatch watch(form.get());
  QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(watch.captions, QStringList({"Extracting(01/02): Track01", "Encoding(01/02): Track01",
                                         "Extracting(02/02): Track02", "Encoding(02/02): Track02"}));
  EXPECT_TRUE(watch.phases.contains("Encoding"));
  EXPECT_EQ(watch.highestGauge, 100);
  for (int track : {1, 2}) ExpectTaggedMp3WithoutWav(track, 4 - track);  // the WAV is not kept
  form->close();
}

TEST_F(MainFormTest, StopLeavesNoDebrisAndALogThatSaysSo) {
  TestDisc disc({"2s", "20s", "2s"});
  ASSERT_TRUE(disc.Ok());
  for (const bool keepWav : {false, true}) {
    WriteOptions("OutputFormat=0\nEncoderProcesses=1\nIsKeepWav=" + QByteArray::number(keepWav) + "\n");
    auto form = Open(disc.CuePath());
    // The cue sheet names a track by the title typed for it, not the disc's stored one.
    List(*form)->setCurrentItem(List(*form)->topLevelItem(0));
    answerer_.OnWindow<TfrmEditTrackName>([](TfrmEditTrackName* rename) {
      rename->setTrackName("Typed");
      QTimer::singleShot(0, rename, &QDialog::accept);
    });
    Action(*form, "aEditTrackName")->trigger();
    Activate(*form);  // as the window manager does when a dialog has gone
    JobWatch watch(form.get());
    watch.onCaption = [](TRipForm* job) {
      if (job->windowTitle().startsWith("Encoding(02"))
        QTimer::singleShot(0, job->findChild<QPushButton*>("btStop"), &QPushButton::click);
    };
    QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
    ASSERT_FALSE(watch.captions.isEmpty());
    EXPECT_EQ(watch.captions.last(), "Encoding(02/03): Track02");
    const QStringList left = QDir(out_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList expected = {"Typed.mp3", "Unknown Artist - Unknown Album.cue", "Unknown Artist - Unknown Album.log"};
    if (keepWav) expected << "Track02.wav" << "Typed.wav";  // done and stopped tracks' WAVs alike
    expected.sort();
    EXPECT_EQ(left.join('|').toStdString(), expected.join('|').toStdString());
    const QString base = out_.filePath("Unknown Artist - Unknown Album");
    EXPECT_TRUE(ReadBytes(base + ".log").contains("Rip stopped by the user"));
    EXPECT_TRUE(ReadBytes(base + ".cue").contains("TITLE \"Typed\""));
    form->close();
    QDir(out_.path()).removeRecursively();
    QDir().mkpath(out_.path());
  }
}

TEST_F(MainFormTest, WavToMp3ConvertsThePickedFiles) {
  QTemporaryDir sources;
  ASSERT_TRUE(MakeWav(sources.filePath("a b.wav"), 1.0) && MakeWav(sources.filePath("c.wav"), 2.0, 22050, 1));
  auto form = Open(SomeDisc());
  QStringList filters;
  answerer_.AnswerFileDialog(sources.path(), "\"a b.wav\" \"c.wav\"",
                             [&](QFileDialog* dialog) { filters = dialog->nameFilters(); });
  JobWatch watch(form.get());
  QTest::keyClick(List(*form), Qt::Key_W, Qt::ControlModifier);
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_TRUE(answerer_.refusedFileNames.isEmpty());
  EXPECT_EQ(filters, QStringList({"Sound file (*.wav)", "Any file (*)"}));
  ASSERT_FALSE(watch.captions.isEmpty());
  EXPECT_EQ(watch.captions.first(), "Encoding(01/02): " + sources.filePath("a b.wav"));
  EXPECT_NEAR(ProbeDuration(out_.filePath("a b.mp3")), 1.0, 0.1);
  EXPECT_NEAR(ProbeDuration(out_.filePath("c.mp3")), 2.0, 0.1);  // resampled to 44100 Hz first
  form->close();
}

TEST_F(MainFormTest, OneToAllAnswerDecidesEveryOverwriteOfTheJob) {
  QTemporaryDir sources;
  const QStringList names = {"a.wav", "b.wav", "c.wav"};
  for (const QString& name : names) ASSERT_TRUE(MakeWav(sources.filePath(name), 0.5));
  auto form = Open(SomeDisc());
  for (const QMessageBox::StandardButton answer : {QMessageBox::NoToAll, QMessageBox::YesToAll}) {
    for (const QString& name : names)
      ASSERT_TRUE(WriteBytes(out_.filePath(QFileInfo(name).completeBaseName() + ".mp3"), "old"));
    answerer_.AnswerFileDialog(sources.path(), "\"a.wav\" \"b.wav\" \"c.wav\"");
    QStringList buttons;
    answerer_.OnWindow<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      QTimer::singleShot(0, box, [box, answer] { box->button(answer)->click(); });
    });
    Activate(*form);
    QTest::keyClick(List(*form), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(answerer_.AllAnswered());
    EXPECT_TRUE(buttons.contains("Yes to All") && buttons.contains("No to All")) << buttons.join('|').toStdString();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
      if (answer == QMessageBox::NoToAll) EXPECT_EQ(ReadBytes(out_.filePath(name)), "old") << name;
      else EXPECT_NEAR(ProbeDuration(out_.filePath(name)), 0.5, 0.1) << name;
    }
  }
  EXPECT_TRUE(answerer_.unexpectedBoxes.isEmpty());  // one question per job
  form->close();
}

// The summary window that ends a rip, once it is up: its rows' texts, column by column.
QList<QStringList> SummaryRows(TMainForm& form) {
  RipSummaryForm* summary = nullptr;
  EXPECT_TRUE(QTest::qWaitFor([&] { return (summary = form.findChild<RipSummaryForm*>()) && summary->isVisible(); },
                              20000));
  QList<QStringList> rows;
  if (!summary) return rows;
  auto* list = summary->findChild<QTreeWidget*>("lvTracks");
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QStringList row;
    for (int column = 0; column < list->columnCount(); ++column)
      if (!list->isColumnHidden(column)) row << list->topLevelItem(i)->text(column);
    rows << row;
  }
  rows.prepend({summary->findChild<QLabel*>("lblWritten")->text(),
                summary->findChild<QLabel*>("lblVerification")->text()});
  return rows;
}

TEST_F(MainFormTest, ARipEndsInASummaryWindowThatBlocksNothingAndTheLogIsWritten) {
  TestDisc disc({"2s", "1s"});
  ASSERT_TRUE(disc.Ok());
  CddbTestServer absent([](const QString&) {
    return QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  });
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const QByteArray unreachable = "127.0.0.1:" + QByteArray::number(closed.serverPort());
  closed.close();
  UrlCatcher folders;
  QDesktopServices::setUrlHandler("file", &folders, "Open");
  struct Case {
    QByteArray settings;
    QString verification;  // its start; empty: the lookup is off and has no column
    QString verdict;
  };
  const Case cases[] = {
      {"[AccurateRip]\nUse=1\nServer=" + absent.HostPort().toUtf8() + "\n",
       "AccurateRip: this disc is not in the database", "not in the database"},
      {"[AccurateRip]\nUse=1\nServer=" + unreachable + "\n",
       "The AccurateRip database could not be reached", "not checked"},
      {"[AccurateRip]\nUse=0\nServer=" + absent.HostPort().toUtf8() + "\n", "", ""},
  };
  for (const Case& c : cases) {
    const bool openAfterRip = c.settings.contains(unreachable);
    WriteOptions(QByteArray("OutputFormat=1\nOpenFolderAfterRip=") + (openAfterRip ? "1" : "0") + "\n" + c.settings);
    auto form = Open(disc.CuePath());
    folders.opened.clear();
    QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);
    const QList<QStringList> rows = SummaryRows(*form);
    ASSERT_EQ(rows.size(), 3) << c.settings.toStdString();
    EXPECT_EQ(rows[0][0], "2 of 2 tracks written.");
    EXPECT_TRUE(c.verification.isEmpty() ? rows[0][1].isEmpty() : rows[0][1].startsWith(c.verification))
        << rows[0][1].toStdString();
    for (const QString track : {"01", "02"}) {
      QStringList expected{track, "Track" + track + ".wav", "written"};
      if (!c.verdict.isEmpty()) expected << c.verdict;
      EXPECT_EQ(rows[track.toInt()], expected) << rows[track.toInt()].join('|').toStdString();
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(answerer_.boxTexts.isEmpty() && answerer_.unexpectedBoxes.isEmpty());
    EXPECT_EQ(QDir(out_.path()).entryList({"*.log", "*.cue"}).size(), 2) << c.settings.toStdString();
    // OpenFolderAfterRip opens the folder by itself, "Open folder" on a click.
    const QList<QUrl> folder{QUrl::fromLocalFile(out_.path())};
    EXPECT_EQ(folders.opened, openAfterRip ? folder : QList<QUrl>());
    folders.opened.clear();
    QTest::mouseClick(form->findChild<RipSummaryForm*>()->findChild<QPushButton*>("btOpenFolder"), Qt::LeftButton);
    EXPECT_EQ(folders.opened, folder);
    QDir(out_.path()).removeRecursively();
    QDir().mkpath(out_.path());
    form->close();
  }
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(absent.Requests().size(), 1u);
}

TEST_F(MainFormTest, AFailedTrackIsTheOneEndOfARipThatComesInABox) {
  TestDisc disc({"1s", "1s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=1\nEncoderProcesses=1\n");
  ASSERT_TRUE(QDir(out_.path()).mkdir("Track02.wav"));  // in the way of the second track's file
  auto form = Open(disc.CuePath());
  answerer_.AnswerBox(QMessageBox::Yes);  // replace it
  answerer_.AnswerBox();                  // the failure, as the job meets it
  answerer_.AnswerBox();                  // the end of the rip
  QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);
  const QList<QStringList> rows = SummaryRows(*form);
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer_.AllAnswered(); }, 20000));
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[0][0], "1 of 2 tracks written.");
  EXPECT_EQ(rows[2], QStringList({"02", "Track02.wav", "failed"}));
  EXPECT_EQ(answerer_.boxTexts.value(2), "These tracks need your attention:\nTrack 02: failed")
      << answerer_.boxTexts.join('|').toStdString();
  EXPECT_EQ(answerer_.boxIcons.value(2), QMessageBox::Warning);
  form->close();
}

}  // namespace
}  // namespace trackmill::test
