#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "jobs/FallbackRip.h"
#include "jobs/WMAEncodeProcess.h"
#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/CDRipForm.h"
#include "ui/ResampleForm.h"

namespace trackmill::test {
namespace {

// A main window that reads the disc through the paranoia input.
class FallbackRipTest : public MainFormTest {
 protected:
  void SetUp() override {
    qputenv("TRACKMILL_FALLBACK_INPUT", "1");
    MainFormTest::SetUp();
  }
  void TearDown() override {
    qunsetenv("TRACKMILL_FALLBACK_INPUT");
    MainFormTest::TearDown();
  }
  // The fallback path lists the disc once the window has been activated.
  std::unique_ptr<TMainForm> OpenListed(const TestDisc& disc, int rows) {
    auto form = Open(disc.CuePath());
    EXPECT_TRUE(WaitUntil([&] { return List(*form)->topLevelItemCount() == rows; }, 10000));
    EXPECT_EQ(form->Drive(), nullptr);
    return form;
  }
};

// What the user saw of the fallback extraction window; stops it after a minute at most.
class CDRipWatch : public QObject {
 public:
  CDRipWatch() { qApp->installEventFilter(this); }

  QStringList completedAtStart;     // lCompleted as each extraction began
  QStringList wavsAtStart;          // WAV files in the output folder as each extraction began
  QString outputFormat;
  std::function<void(TfrmCDRip*)> onProgress;  // what the user does while the gauge moves
  QString folder;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* form = qobject_cast<TfrmCDRip*>(watched);
    if (!form || event->type() != QEvent::Show) return false;
    QTimer::singleShot(60000, form, &QDialog::reject);
    connect(&form->Rip(), &TFallbackRip::Changed, this, [this, form] {
      const QString hint = form->findChild<QLabel*>("lProgressHint")->text();
      const QString completed = form->findChild<QLabel*>("lCompleted")->text();
      outputFormat = form->findChild<QLabel*>("lOutputFormat")->text();
      if (hint == "Extracting..." && form->Rip().GaugePercent() == 0 && completedAtStart.size() <= completed.toInt()) {
        completedAtStart << completed;
        wavsAtStart << QDir(folder).entryList({"*.wav"}).join(',');
      }
      if (onProgress && form->findChild<QProgressBar*>("ProgressBar2")->value() > 0) onProgress(form);
    });
    return false;
  }
};

TEST_F(FallbackRipTest, ExtractRipsEveryTickedTrackToWavBackToBack) {
  TestDisc disc({"2s", "1s", "1s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=1\n");
  auto form = OpenListed(disc, 3);
  CDRipWatch watch;
  QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);  // returns when the window has closed
  EXPECT_EQ(watch.completedAtStart, QStringList({"0", "1", "2"}));
  EXPECT_EQ(watch.outputFormat, "WAV");
  for (int track : {1, 2, 3}) {
    const QString wav = out_.filePath(QStringLiteral("Track0%1.wav").arg(track));
    EXPECT_TRUE(ProbeField(wav, "stream=codec_name,sample_rate,channels")
                    .contains("codec_name=pcm_s16le\nsample_rate=44100\nchannels=2"));
    EXPECT_EQ(ReadBytes(wav).mid(44), disc.ExpectedTrack(track)) << track;
  }
  form->close();
}

TEST_F(FallbackRipTest, ExtractEncodesToTaggedMp3AndDeletesEachWavBeforeTheNextTrack) {
  TestDisc disc({"2s", "1s"}, {"--music"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=0\n");  // ID3 off: the ID3v1 tag is written anyway
  auto form = OpenListed(disc, 2);
  Settings().Disc.Artist = "Someone";
  CDRipWatch watch;
  watch.folder = out_.path();
  QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(watch.completedAtStart, QStringList({"0", "1"}));
  EXPECT_EQ(watch.wavsAtStart, QStringList({"", ""}));
  for (int track : {1, 2}) ExpectTaggedMp3WithoutWav(track, 3 - track);
  form->close();
}

TEST_F(FallbackRipTest, OggTakesTheListedBitRateAndTheTrackTitleAndKeepsTheWav) {
  TestDisc disc({"2s"}, {"--music"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=2\nIsKeepWav=1\n[OggOptions]\nIsUseCompress=0\nNomalBitRate=8\n[ID3]\nUse=1\n");
  auto form = OpenListed(disc, 1);
  Settings().Disc.Artist = "Someone";
  Settings().Disc.Comment = "a comment";
  CDRipWatch watch;
  QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
  const QString ogg = out_.filePath("Track01.ogg");
  const QString probe = ProbeField(ogg, "stream=codec_name,bit_rate:stream_tags=title,artist");
  EXPECT_TRUE(probe.contains("codec_name=vorbis\nbit_rate=128000")) << probe.toStdString();
  EXPECT_TRUE(probe.contains("TAG:title=Track01") && probe.contains("TAG:artist=Someone")) << probe.toStdString();
  if (HaveProgram("ogginfo")) {
    EXPECT_EQ(RunProgram("ogginfo", {ogg}).exitCode, 0);
  }
  EXPECT_TRUE(QFile::exists(out_.filePath("Track01.wav")));
  form->close();
}

TEST_F(FallbackRipTest, WmaIsEncodedByTheEncoderProgram) {
  TestDisc disc({"2s"}, {"--music"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=3\n");
  auto form = OpenListed(disc, 1);
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", QFileInfo(ToolProgram(kWmaEncoderProgram)).path().toUtf8() + ':' + oldPath);
  CDRipWatch watch;
  QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
  qputenv("PATH", oldPath);
  EXPECT_EQ(watch.outputFormat, "WMA");
  EXPECT_TRUE(ProbeField(out_.filePath("Track01.wma"), "stream=codec_name").contains("codec_name=wmav2"));
  EXPECT_NEAR(ProbeDuration(out_.filePath("Track01.wma")), 2.0, 0.2);
  EXPECT_FALSE(QFile::exists(out_.filePath("Track01.wav")));
  form->close();
}

TEST_F(FallbackRipTest, TracksThatCouldNotBeEncodedAreListedAndKeepTheirWav) {
  TestDisc disc({"1s", "1s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=0\n");
  auto form = OpenListed(disc, 2);
  QTemporaryDir noPrograms;
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", noPrograms.path().toUtf8());  // no lame
  answerer_.AnswerBox();
  CDRipWatch watch;
  QTest::keyClick(List(*form), Qt::Key_X, Qt::ControlModifier);
  qputenv("PATH", oldPath);
  ASSERT_EQ(answerer_.boxTexts.size(), 1);
  EXPECT_TRUE(answerer_.boxTexts[0].contains("\nTrack01: ") && answerer_.boxTexts[0].contains("\nTrack02: "))
      << answerer_.boxTexts[0].toStdString();
  EXPECT_EQ(answerer_.boxIcons, QList<QMessageBox::Icon>({QMessageBox::Critical}));
  EXPECT_TRUE(QFile::exists(out_.filePath("Track01.wav")) && QFile::exists(out_.filePath("Track02.wav")));
  form->close();
}

TEST_F(FallbackRipTest, StopEndsTheRipAtOnce) {
  TestDisc disc({"40s", "1s"});
  ASSERT_TRUE(disc.Ok());
  WriteOptions("OutputFormat=1\n");
  auto form = OpenListed(disc, 2);
  CDRipWatch watch;
  watch.onProgress = [](TfrmCDRip* rip) {
    QTimer::singleShot(0, rip->findChild<QPushButton*>("bStop"), &QPushButton::click);
  };
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(Button(*form, "tbExtract"), Qt::LeftButton);
  EXPECT_LT(clock.elapsed(), 55000);  // not ended by the watch's limit
  EXPECT_LT(QFileInfo(out_.filePath("Track01.wav")).size(), disc.ExpectedTrack(1).size());
  EXPECT_FALSE(QFile::exists(out_.filePath("Track02.wav")));
  form->close();
}

// ---- the wave file converter ----------------------------------------------------------

class ResampleFormTest : public MainFormTest {
 protected:
  QString Soxi(const QString& option, const QString& path) {
    return QString::fromUtf8(RunProgram("soxi", {option, path}).out).trimmed();
  }
  bool WaitForStatus(TfrmResample& form, const QString& text) {
    return WaitUntil([&] { return form.StatusText() != "Converting..."; }, 60000) && form.StatusText() == text;
  }
  void Convert(TfrmResample& form) { QTest::mouseClick(form.findChild<QPushButton*>("Button3"), Qt::LeftButton); }
};

TEST_F(ResampleFormTest, TheFileMenuOpensIt) {
  auto form = Open(SomeDisc());
  QString caption;
  answerer_.OnWindow<TfrmResample>([&](TfrmResample* converter) {
    caption = converter->windowTitle();
    QTimer::singleShot(0, converter, &QWidget::close);
  });
  QTimer::singleShot(30000, form.get(), [] {  // a window nobody answered must not hang the test
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  Action(*form, "miWAVtoWAV")->trigger();  // returns when the window has closed
  EXPECT_EQ(caption, "Wave File Converter");
  form->close();
}

TEST_F(ResampleFormTest, EightBitMonoInputIsOnlyResampledAndConvertsAgain) {
  const QString input = out_.filePath("in.wav");
  ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "1", "-b", "8", input, "synth", "1", "sine", "440"}).exitCode, 0);
  TfrmResample form;
  form.show();
  form.SetInputFile(input);
  QStringList facts;
  for (const char* name : {"Label5", "Label6", "Label7", "Label8", "Label15"}) facts << form.findChild<QLabel*>(name)->text();
  EXPECT_EQ(facts, QStringList({"in.wav", "1", "44100", "8", "Raw PCM"}));
  const QString output = out_.filePath("out.wav");
  form.SetOutputFile(output);
  for (int run = 0; run < 2; ++run) {
    Convert(form);
    ASSERT_TRUE(WaitForStatus(form, "Success!")) << form.StatusText().toStdString();
    EXPECT_EQ(Soxi("-r", output), "22050");
    EXPECT_EQ(Soxi("-c", output), "1");
    EXPECT_EQ(Soxi("-b", output), "8");
    EXPECT_EQ(form.findChild<QProgressBar*>("ProgressBar1")->value(), 100);
  }
}

TEST_F(ResampleFormTest, AWmaOutputOrARateThatIsNoWholeNumberStartsNothing) {
  const QString input = out_.filePath("in.wav");
  ASSERT_TRUE(MakeWav(input, 1.0));
  TfrmResample form;
  form.show();
  form.SetInputFile(input);
  answerer_.AnswerFileDialog(out_.path(), "out.wma",
                             [](QFileDialog* dialog) { dialog->selectNameFilter("Windows Media Files (*.wma)"); });
  QTest::mouseClick(form.findChild<QPushButton*>("Button2"), Qt::LeftButton);
  answerer_.AnswerBox();
  Convert(form);
  EXPECT_EQ(answerer_.boxTexts, QStringList({"The output file name is not set!"}));

  form.SetOutputFile(out_.filePath("out.wav"));
  form.findChild<QLineEdit*>("Edit1")->setText("22.05k");
  Convert(form);
  EXPECT_TRUE(form.StatusText().contains("not a whole number")) << form.StatusText().toStdString();
  EXPECT_TRUE(form.findChild<QPushButton*>("Button3")->isEnabled());
  EXPECT_EQ(QDir(out_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"in.wav"}));
}

TEST_F(ResampleFormTest, AbortAndCloseLeaveTheOldOutputAndNoPartFile) {
  const QString input = out_.filePath("long.wav");
  ASSERT_TRUE(MakeWav(input, 120.0));
  const QString output = out_.filePath("out.wav");
  ASSERT_TRUE(WriteBytes(output, "an older file"));
  TfrmResample form;
  form.show();
  form.SetInputFile(input);
  form.SetOutputFile(output);
  form.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
  form.findChild<QSpinBox*>("SpinEdit3")->setValue(16);
  Convert(form);
  EXPECT_EQ(form.StatusText(), "Converting...");
  QTest::mouseClick(form.findChild<QPushButton*>("Button4"), Qt::LeftButton);
  ASSERT_TRUE(WaitForStatus(form, "Aborted: nothing was written to out.wav")) << form.StatusText().toStdString();
  EXPECT_EQ(ReadBytes(output), "an older file");

  Convert(form);
  EXPECT_EQ(form.StatusText(), "Converting...");
  form.close();
  EXPECT_EQ(ReadBytes(output), "an older file");
  EXPECT_EQ(QDir(out_.path()).entryList({".*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

}  // namespace
}  // namespace trackmill::test
