#include "recorder/RecorderFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>

#include "audio/wav/WavFormat.h"
#include "tests/support/TestPaths.h"

namespace trackmill::test {
namespace {

// The user: answers from queues, and remembers what was shown and converted.
class ScriptedUser : public TRecorderPrompts {
 public:
  void Information(const QString& text) override { shown << text; }
  void Warning(const QString& text) override { shown << text; }
  void Error(const QString& text) override { shown << text; }
  bool AskYesNo(const QString& text) override {
    shown << text;
    return Next() != Answer::No;
  }
  Answer AskYesNoCancel(const QString& text) override {
    shown << text;
    return Next();
  }
  QString SaveFileName() override {
    if (saveNames.empty()) return {};
    const QString name = saveNames.front();
    saveNames.pop_front();
    return name;
  }
  void ConvertToMp3(const QString& wavFile) override { converted << wavFile; }

  Answer Next() {
    if (answers.empty()) return Answer::Cancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<Answer> answers;
  std::deque<QString> saveNames;
  QStringList shown;
  QStringList converted;
};

class RecorderFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(TRecorderFiles::UnnamedPath());
    QFile::remove(TRecorderFiles::WorkingCopyPath());
  }
  // A recording: audio appended to the device file, as the sound input does.
  void Record(TRecorderFiles& files, const QByteArray& audio) {
    QFile file(files.DeviceFile());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(audio);
    files.SetModified();
  }
  ScriptedUser user_;
  QTemporaryDir dir_;
};

TEST(RecorderTexts, TimeLabelsAndTheWholeSecondWait) {
  EXPECT_EQ(TRecorderFiles::TimeText(45678), "45.7 Sec");
  EXPECT_EQ(TRecorderFiles::TimeText(1500), "1.5 Sec");
  EXPECT_EQ(TRecorderFiles::TimeText(61000), "1 Min1 Sec");
  EXPECT_EQ(TRecorderFiles::TimeText(3723000), "1Hour2 Min3 Sec");
  EXPECT_EQ(TRecorderFiles::TimeText(3600000), "1Hour");
  EXPECT_EQ(TRecorderFiles::WholeSecondWaitMs(12340), 660);
  EXPECT_EQ(TRecorderFiles::WholeSecondWaitMs(12050), 0);
  EXPECT_EQ(TRecorderFiles::WholeSecondWaitMs(12100), 0);
}

TEST_F(RecorderFilesTest, SavesTheUnnamedRecordingUnderAWavNameOnly) {
  TRecorderFiles files(user_);
  ASSERT_TRUE(files.New(8000, 8, 1));
  EXPECT_EQ(files.Caption(), "Record(NoName)");
  EXPECT_EQ(ReadBytes(TRecorderFiles::UnnamedPath()), wav::PcmHeader(1, 8000, 8, 0));
  Record(files, "abcd");
  EXPECT_FALSE(files.CanUndo(false));  // nothing saved to go back to

  user_.saveNames = {dir_.filePath("take.mp3")};
  EXPECT_FALSE(files.Save());
  EXPECT_EQ(user_.shown.last(), "The save file should be WAV!");
  EXPECT_TRUE(files.Modified());
  EXPECT_TRUE(QFile::exists(TRecorderFiles::UnnamedPath()));

  const QString name = dir_.filePath("take.WAV");
  user_.saveNames = {name};
  ASSERT_TRUE(files.Save());
  EXPECT_FALSE(files.Modified());
  EXPECT_EQ(files.CurrentFile(), name);
  EXPECT_EQ(files.Caption(), "Record(" + name + ")");
  EXPECT_FALSE(QFile::exists(TRecorderFiles::UnnamedPath()));
  EXPECT_EQ(ReadBytes(name).mid(44), "abcd");
  EXPECT_EQ(ReadBytes(TRecorderFiles::WorkingCopyPath()), ReadBytes(name));
  files.Finish();
  EXPECT_FALSE(QFile::exists(TRecorderFiles::WorkingCopyPath()));
}

TEST_F(RecorderFilesTest, ANamedFileIsSavedAndConvertedAgainWithoutAskingTwice) {
  const QString name = dir_.filePath("song.wav");
  ASSERT_TRUE(WriteBytes(name, wav::PcmHeader(2, 44100, 16, 0)));
  ASSERT_TRUE(WriteBytes(dir_.filePath("song.mp3"), "old"));
  TRecorderFiles files(user_);
  files.SaveMp3 = true;
  ASSERT_TRUE(files.Open(name));
  EXPECT_TRUE(files.Open(name));  // the current file again: nothing happens
  EXPECT_TRUE(user_.shown.isEmpty());

  Record(files, "1234");
  EXPECT_TRUE(files.CanUndo(false));
  EXPECT_FALSE(files.CanUndo(true));
  EXPECT_EQ(ReadBytes(name).size(), 44);  // the file changes only when saved
  user_.answers = {TRecorderPrompts::Answer::Yes};
  ASSERT_TRUE(files.Save());
  EXPECT_EQ(ReadBytes(name).mid(44), "1234");
  EXPECT_EQ(user_.shown, QStringList({dir_.filePath("song.mp3") + " already exists. Replace it?"}));

  Record(files, "5678");
  ASSERT_TRUE(files.Save());
  EXPECT_EQ(user_.shown.size(), 1);
  EXPECT_EQ(user_.converted, QStringList({name, name}));

  // Undo puts the saved file back; a modified file asks before it is closed.
  Record(files, "9999");
  user_.answers = {TRecorderPrompts::Answer::Yes};
  ASSERT_TRUE(files.Undo());
  EXPECT_EQ(ReadBytes(files.DeviceFile()), ReadBytes(name));
  Record(files, "zzzz");
  user_.answers = {TRecorderPrompts::Answer::Cancel};
  EXPECT_FALSE(files.CloseCurrent(true));
  EXPECT_EQ(user_.shown.last(), name + " has been modified,Save it?");
  user_.answers = {TRecorderPrompts::Answer::No};
  EXPECT_TRUE(files.CloseCurrent(true));
  EXPECT_EQ(ReadBytes(name).mid(44), "12345678");
}

}  // namespace
}  // namespace trackmill::test
