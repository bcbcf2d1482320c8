#include "ui/RecordForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <vector>

#include "settings/Settings.h"
#include "tests/audio/PcmMemoryInput.h"
#include "tests/player/AlsaTestSink.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/ModalAnswerer.h"
#include "ui/NewRecordFileForm.h"

namespace trackmill::test {
namespace {

QByteArray KnownSignal() {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < 44100; ++i) {
    samples.push_back(std::int16_t(1 + (i * 37) % 30000));
    samples.push_back(std::int16_t(-1 - (i * 11) % 9000));
  }
  return Pcm16(samples);
}

QString Text(TfrmRecord& form, const char* label) { return form.findChild<QLabel*>(label)->text(); }
QToolButton* Button(TfrmRecord& form, const char* name) { return form.findChild<QToolButton*>(name); }
QAction* Item(TfrmRecord& form, const char* name) { return form.findChild<QAction*>(name); }

TEST(RecordForm, RecordsANewFileStopsOnAWholeSecondAndSavesItWithMp3) {
  const QByteArray known = KnownSignal();
  AlsaTestSink sink(false, known);
  QTemporaryDir dir;
  ModalAnswerer answerer;
  QStringList converted;
  TfrmRecord form(nullptr, [&](const QString& wav) { converted << wav; });
  form.show();
  EXPECT_FALSE(Button(form, "btRecord")->isEnabled());

  answerer.OnWindow<TfrmNewRecordFile>([](TfrmNewRecordFile* format) { QTimer::singleShot(0, format, &QDialog::accept); });
  Item(form, "miNew")->trigger();
  ASSERT_TRUE(answerer.AllAnswered());
  EXPECT_EQ(form.windowTitle(), "Record(NoName)");
  EXPECT_TRUE(Button(form, "btRecord")->isEnabled());
  EXPECT_FALSE(Button(form, "btPlay")->isEnabled());

  Button(form, "btRecord")->click();
  EXPECT_EQ(Text(form, "lbState"), "Recording...");
  EXPECT_FALSE(Button(form, "btRecord")->isEnabled());
  QTest::qWait(250);
  Button(form, "btStop")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Text(form, "lbState") == QString("Record over!"); }, 3000));
  EXPECT_TRUE(Text(form, "pnTime").startsWith("00:00:01.0")) << Text(form, "pnTime").toStdString();
  EXPECT_TRUE(Button(form, "btPlay")->isEnabled());
  const QByteArray recorded = ReadBytes(form.Files().DeviceFile());
  ASSERT_GT(recorded.size(), 44);
  EXPECT_EQ(recorded.mid(44, known.size()), known.left(recorded.size() - 44));

  emit Button(form, "btStart")->menu()->aboutToShow();  // the menu sets its items when shown
  EXPECT_FALSE(Item(form, "miUndo")->isEnabled());
  EXPECT_TRUE(Item(form, "miSave")->isEnabled());

  Item(form, "miMp3Format")->setChecked(true);
  const QString name = dir.filePath("take.WAV");
  answerer.AnswerFileDialog(dir.path(), "take.WAV");
  Item(form, "miSave")->trigger();
  ASSERT_TRUE(answerer.AllAnswered());
  EXPECT_EQ(converted, QStringList({name}));
  EXPECT_EQ(ReadBytes(name), recorded);
  EXPECT_EQ(form.windowTitle(), "Record(" + name + ")");

  form.close();
  EXPECT_TRUE(Settings().SaveMp3);
  EXPECT_FALSE(QFile::exists(TRecorderFiles::WorkingCopyPath()));
  EXPECT_TRUE(answerer.unexpectedBoxes.isEmpty()) << answerer.unexpectedBoxes.join(" | ").toStdString();
}

}  // namespace
}  // namespace trackmill::test
