#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>

#include <cmath>
#include <vector>

#include "audio/dsp/StereoBalance.h"
#include "audio/codecs/VorbisIn.h"
#include "audio/codecs/VorbisOut.h"
#include "player/OggPlayer.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/audio/RunOutput.h"
#include "tests/player/AlsaTestSink.h"
#include "tests/ui/ModalAnswerer.h"
#include "ui/OggPlayerForm.h"

namespace trackmill {
namespace {

using test::AlsaTestSink;
using test::WithoutSilentFrames;

class OggPlayerFormTest : public ::testing::Test {
 protected:
  // A stereo tone of `seconds` with an artist and a title but an empty album.
  QString MakeOgg(const QString& name, double seconds) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < int(44100 * seconds); ++i) {
      const auto value = std::int16_t(8000 * std::sin(i * 0.05) + 500);
      samples.insert(samples.end(), {value, std::int16_t(-value)});
    }
    test::PcmMemoryInput pcm(test::Pcm16(samples), 16, 2, 44100);
    TVorbisOut out;
    out.Comments().SetArtist(QStringLiteral("Ånna"));
    out.Comments().SetTitle(QStringLiteral("Tone"));
    out.Comments().SetAlbum(QString());
    out.SetInput(&pcm);
    out.SetFileName(dir_.filePath(name));
    EXPECT_EQ(test::RunOutputToEnd(out), QString());
    return dir_.filePath(name);
  }

  template <typename W>
  W* Find(const char* name) {
    W* found = form_.findChild<W*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QString Text(const char* label) { return Find<QLabel>(label)->text(); }

  bool WaitUntilIdle() {
    return QTest::qWaitFor([&] { return form_.Player().Idle(); }, 20000);
  }

  AlsaTestSink sink_;  // first: the window's output must see the test's sound set-up
  QTemporaryDir dir_;
  TfrmOggPlayer form_;
};

TEST_F(OggPlayerFormTest, PlaysTheFileWithBalanceShowingItsTextsAndRefusesOtherNames) {
  const QString ogg = MakeOgg("Tone.OGG", 1.2);
  QFile::copy(ogg, dir_.filePath("tone.dat"));
  test::ModalAnswerer answerer;
  answerer.AnswerBox();
  form_.PlayFile(dir_.filePath("tone.dat"));  // Vorbis inside, but not named so
  EXPECT_EQ(answerer.boxTexts, QStringList{"Ogg file is not valid."});
  EXPECT_EQ(Text("lbFileName"), "OGG");

  Find<QSlider>("tbBalance")->setValue(10);  // right only
  form_.PlayFile(ogg);
  EXPECT_FALSE(Find<QPushButton>("btPlay")->isEnabled());
  EXPECT_TRUE(Find<QSlider>("tbPosition")->isEnabled());
  EXPECT_EQ(Text("lbFileName"), "Tone");
  EXPECT_EQ(Text("lbRate"), "44100 Hz");
  EXPECT_EQ(Text("lbTotal"), "0:01");
  EXPECT_EQ(Find<QPlainTextEdit>("mmComments")->toPlainText(), "Artist: Ånna\nTitle: Tone");
  ASSERT_TRUE(WaitUntilIdle());
  QTest::qWait(50);
  EXPECT_TRUE(Find<QPushButton>("btPlay")->isEnabled());
  EXPECT_FALSE(Find<QSlider>("tbPosition")->isEnabled());

  TVorbisIn decoded;
  decoded.SetFileName(ogg);
  TStereoBalance balanced;
  balanced.SetInput(&decoded);
  balanced.SetBalance(1.0f);
  EXPECT_EQ(WithoutSilentFrames(sink_.Played()), WithoutSilentFrames(test::DrainInput(balanced)));
  EXPECT_EQ(OggPlayer::MinutesSeconds(65), "1:05");
  EXPECT_EQ(OggPlayer::MinutesSeconds(600), "10:00");
}

TEST_F(OggPlayerFormTest, ThePositionBarFollowsPlaybackAndEscapeCloses) {
  const QString ogg = MakeOgg("long.ogg", 8);
  form_.show();
  form_.PlayFile(ogg);
  QSlider* position = Find<QSlider>("tbPosition");
  // Beyond what the first fill of the sound buffer alone makes (1 %).
  EXPECT_TRUE(QTest::qWaitFor([&] { return position->value() >= 10; }, 10000)) << position->value();
  EXPECT_EQ(form_.Player().Output()->Status(), 0);  // still playing: nothing was skipped to get there

  // Escape as the user presses it: to whatever child has the focus, here the comments.
  form_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  auto* comments = Find<QPlainTextEdit>("mmComments");
  comments->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return comments->hasFocus(); }));
  QTest::keyClick(comments, Qt::Key_Escape);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form_.isVisible(); }, 5000));
}

TEST_F(OggPlayerFormTest, SeeksPausesAndClosesOnlyAfterPlaybackEnded) {
  const QString ogg = MakeOgg("long.ogg", 8);
  form_.show();
  form_.PlayFile(ogg);
  QTest::qWait(300);
  Find<QSlider>("tbPosition")->setValue(50);
  EXPECT_EQ(Text("lbElapsed"), "0:04");
  QTest::qWait(300);
  EXPECT_GE(form_.Player().Output()->Progress(), 50);
  Find<QSlider>("tbPosition")->setValue(10);  // back again: playback goes on from there
  EXPECT_EQ(Text("lbElapsed"), "0:00");
  QTest::qWait(300);
  EXPECT_LT(form_.Player().Output()->Progress(), 50);
  EXPECT_EQ(form_.Player().Output()->Status(), 0);

  Find<QPushButton>("btPause")->click();
  QTest::qWait(100);
  EXPECT_EQ(form_.Player().Output()->Status(), 1);
  QCloseEvent close;  // from the title bar: refused, playback stops, the window closes after it
  QApplication::sendEvent(&form_, &close);
  EXPECT_FALSE(close.isAccepted());
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form_.isVisible(); }, 5000));
}

}  // namespace
}  // namespace trackmill
