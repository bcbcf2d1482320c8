// The tag editor on MP3 files made by lame, its results read back by ffprobe.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "tags/FullTags.h"
#include "tags/Id3Tag.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/ModalAnswerer.h"
#include "ui/ID3EditForm.h"

namespace trackmill::test {
namespace {

class ID3EditFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sox", "lame", "ffprobe"})
      if (!HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
    const QString wav = dir_.filePath("song.wav");
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.3", "sine", "440"}).exitCode, 0);
    for (const QString& mp3 : {Path("tagged.mp3"), Path("plain.mp3")})
      ASSERT_EQ(RunProgram("lame", {"--silent", wav, mp3}).exitCode, 0);
    untagged_ = ReadBytes(Path("plain.mp3"));
    Tid3tag tag;
    tag.SetTitle("Night Train");
    tag.Genre = 12;  // Other
    tag.SetTrack(3);
    ASSERT_EQ(tag.WriteTag(Path("tagged.mp3")), Tid3tag::kOk);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }

  QString Path(const char* name) const { return dir_.filePath(name); }
  template <typename W>
  W* Find(const char* name) { return form_.findChild<W*>(name); }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  // Clicks the button and picks the file of that name in the file dialog it opens.
  void ClickAndPick(const char* button, const QString& name) {
    answerer_.AnswerFileDialog(dir_.path(), name);
    Click(button);
    EXPECT_TRUE(answerer_.AllAnswered());
    EXPECT_TRUE(answerer_.refusedFileNames.isEmpty());
  }
  void SetField(const char* name, const QString& text) {
    Find<QLineEdit>(name)->clear();
    QTest::keyClicks(Find<QLineEdit>(name), text);
  }
  static QJsonObject Probe(const QString& path) { return ProbeFormatTags(path); }

  QTemporaryDir dir_;
  QByteArray untagged_;
  ModalAnswerer answerer_;
  TfrmID3Edit form_;
};

TEST_F(ID3EditFormTest, LoadsAndSavesTagsThatPeersRead) {
  EXPECT_FALSE(Find<QPushButton>("btSaveTag")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("btRemoveTag")->isEnabled());
  EXPECT_EQ(form_.windowTitle(), "ID3 Tag Edit");
  EXPECT_EQ(Find<QComboBox>("ID3genre")->count(), 149);

  ClickAndPick("btLoadTag", "plain.mp3");  // no tag: empty fields, yet a target
  EXPECT_EQ(Find<QLineEdit>("ID3title")->text(), "");
  EXPECT_EQ(Find<QLineEdit>("ID3track")->text(), "0");
  EXPECT_EQ(Find<QComboBox>("ID3genre")->currentIndex(), -1);
  EXPECT_TRUE(Find<QPushButton>("btSaveTag")->isEnabled());
  EXPECT_EQ(form_.windowTitle(), "ID3 Tag Edit: " + Path("plain.mp3"));

  ClickAndPick("btLoadTag", "tagged.mp3");
  EXPECT_EQ(Find<QLineEdit>("ID3title")->text(), "Night Train");
  EXPECT_EQ(Find<QComboBox>("ID3genre")->currentText(), "Other");
  EXPECT_EQ(Find<QLineEdit>("ID3track")->text(), "3");

  // Only digits reach the track field; track 7 leaves 28 bytes of comment, track 0 all 30.
  const QString comment30 = QString(30, 'c');
  SetField("ID3comment", comment30);
  SetField("ID3track", "x7-");
  EXPECT_EQ(Find<QLineEdit>("ID3track")->text(), "7");
  Click("btSaveTag");
  QJsonObject tags = Probe(Path("tagged.mp3"));
  EXPECT_EQ(tags["title"].toString(), "Night Train");
  EXPECT_EQ(tags["genre"].toString(), "Other");
  EXPECT_EQ(tags["track"].toString(), "7");
  EXPECT_EQ(tags["comment"].toString(), comment30.left(28));
  SetField("ID3track", "0");
  Click("btSaveTag");
  tags = Probe(Path("tagged.mp3"));
  EXPECT_FALSE(tags.contains("track"));
  EXPECT_EQ(tags["comment"].toString(), comment30);
  EXPECT_EQ(QFile(Path("tagged.mp3")).size(), untagged_.size() + 128);  // overwritten, not appended

  // Save As gives a tagless file the tag and makes it the target.
  SetField("ID3title", "Day Train");
  ClickAndPick("btSaveAs", "plain.mp3");
  EXPECT_EQ(form_.windowTitle(), "ID3 Tag Edit: " + Path("plain.mp3"));
  EXPECT_EQ(QFile(Path("plain.mp3")).size(), untagged_.size() + 128);
  EXPECT_EQ(Probe(Path("plain.mp3"))["title"].toString(), "Day Train");
  EXPECT_EQ(Probe(Path("tagged.mp3"))["title"].toString(), "Night Train");
}

TEST_F(ID3EditFormTest, FailuresLeaveTheFileAndRemoveAsksFirst) {
  ClickAndPick("btLoadTag", "tagged.mp3");
  const QByteArray before = ReadBytes(Path("tagged.mp3"));
  {
    QFile holder(Path("tagged.mp3"));  // another program writing the file holds its lock
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(holder.handle(), LOCK_EX), 0);
    SetField("ID3title", "Lost");
    answerer_.AnswerBox();
    Click("btSaveTag");
    answerer_.AnswerBox(QMessageBox::Yes);
    answerer_.AnswerBox();
    Click("btRemoveTag");
    EXPECT_EQ(answerer_.boxTexts, QStringList({"Could not save Tag!", "Do you want to remove these tags?",
                                               "Could not remove Tag!"}));
    EXPECT_EQ(ReadBytes(Path("tagged.mp3")), before);
    EXPECT_EQ(Find<QLineEdit>("ID3title")->text(), "Lost");  // the tag is still there
    EXPECT_EQ(form_.windowTitle(), "ID3 Tag Edit: " + Path("tagged.mp3"));
  }
  // A file that cannot be read becomes the target all the same; saving never reaches the
  // file loaded before it.
  form_.LoadFile(Path("gone.mp3"));
  answerer_.AnswerBox();
  Click("btSaveTag");
  EXPECT_EQ(answerer_.boxTexts.last(), "Could not save Tag!");
  EXPECT_EQ(ReadBytes(Path("tagged.mp3")), before);

  ClickAndPick("btLoadTag", "tagged.mp3");
  answerer_.AnswerBox(QMessageBox::No);
  Click("btRemoveTag");
  EXPECT_EQ(ReadBytes(Path("tagged.mp3")), before);
  answerer_.AnswerBox(QMessageBox::Yes);
  Click("btRemoveTag");
  EXPECT_EQ(answerer_.boxIcons.last(), QMessageBox::Question);
  EXPECT_EQ(ReadBytes(Path("tagged.mp3")), untagged_);
  EXPECT_EQ(Find<QLineEdit>("ID3title")->text(), "");
  EXPECT_EQ(Find<QLineEdit>("ID3track")->text(), "0");
  EXPECT_TRUE(answerer_.unexpectedBoxes.isEmpty());
}

// Players read the ID3v2 tag first: what the user changed reaches it, longer texts stay whole.
TEST_F(ID3EditFormTest, EditsReachTheId3v2TagPlayersRead) {
  const QString longTitle = "A Title Longer Than Thirty Characters, Kept Whole";
  TrackTags full;
  full.title = longTitle;
  full.artist = "Old Artist";
  QString error;
  ASSERT_TRUE(WriteFullTags(Path("tagged.mp3"), full, &error)) << error.toStdString();
  ClickAndPick("btLoadTag", "tagged.mp3");
  SetField("ID3artist", "New Artist");
  Click("btSaveTag");
  QJsonObject tags = Probe(Path("tagged.mp3"));
  EXPECT_EQ(tags["title"].toString(), longTitle);
  EXPECT_EQ(tags["artist"].toString(), "New Artist");
  answerer_.AnswerBox(QMessageBox::Yes);
  Click("btRemoveTag");
  EXPECT_EQ(ReadBytes(Path("tagged.mp3")), untagged_);
  EXPECT_TRUE(answerer_.unexpectedBoxes.isEmpty());
}

}  // namespace
}  // namespace trackmill::test
