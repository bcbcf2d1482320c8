#include "ui/MainForm.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

#include "cd/Drive.h"
#include "cd/MediaWatcher.h"
#include "common/DataFolder.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "tests/cd/TestDisc.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/EditTrackNameForm.h"
#include "ui/HelpPages.h"
#include "ui/NoDeviceHintForm.h"

namespace trackmill::test {
namespace {

// A settings file too large to read is reported as the window opens, and never saved over
// (closing says so again).
TEST_F(MainFormTest, AnUnreadableSettingsFileIsReported) {
  ASSERT_TRUE(WriteBytes(SettingsFilePath(), QByteArray(IniFile::kMaxFileBytes + 1, ';')));
  answerer_.AnswerBox();
  answerer_.AnswerBox();
  auto form = std::make_unique<TMainForm>(SomeDisc());
  form->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer_.boxTexts.size() == 1; }, 10000));
  form->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer_.AllAnswered(); }, 10000));
  EXPECT_TRUE(answerer_.boxTexts[0].contains("too large for a settings file")) << answerer_.boxTexts[0].toStdString();
  EXPECT_EQ(QFileInfo(SettingsFilePath()).size(), IniFile::kMaxFileBytes + 1);
}

TEST_F(MainFormTest, ListsTheImageAndKeepsTitlesAndImageForTheNextStart) {
  TestDisc disc({"240s", "30s", "75"});
  ASSERT_TRUE(disc.Ok());
  {
    auto form = Open(disc.CuePath());
    EXPECT_EQ(form->windowTitle(), "Trackmill 4.1");
    EXPECT_GE(form->width(), 551);  // large enough for a whole album, see MainFormLook_test
    EXPECT_GE(form->height(), 500);
    QTreeWidget* list = List(*form);
    const QStringList headers = {"No.", "Title", "Length(min)", "Size(MB)"};
    const int widths[] = {90, 230, 100, 90};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(list->headerItem()->text(i), headers[i]);
      if (i == 1) EXPECT_GE(list->header()->sectionSize(i), widths[i]);  // the Title takes the free width
      else EXPECT_EQ(list->header()->sectionSize(i), widths[i]);
    }
    EXPECT_EQ(Column(*form, 0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Column(*form, 1), QStringList({"Track01", "Track02", "Track03"}));
    EXPECT_EQ(Column(*form, 2), QStringList({"04:00", "00:30", "00:01"}));
    EXPECT_EQ(Column(*form, 3), QStringList({"40.37", "05.05", "00.17"}));
    EXPECT_EQ(list->topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(list->topLevelItem(2)->textAlignment(2), int(Qt::AlignCenter));
    form->Tracks().Rows[1].Title = "Second";
    form->close();
  }
  // The image opened last comes back when no drive is chosen, with the titles of its disc.
  auto again = Open();
  EXPECT_EQ(Column(*again, 1), QStringList({"Track01", "Second", "Track03"}));
  EXPECT_EQ(Settings().DiscImage, disc.CuePath());
  again->close();
}

TEST_F(MainFormTest, CheckCommandsFollowTheRows) {
  TestDisc disc({"2s", "2s", "2s"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  QTreeWidget* list = List(*form);
  QToolButton* extract = Button(*form, "tbExtract");
  EXPECT_TRUE(extract->isEnabled());
  EXPECT_FALSE(Action(*form, "aEditTrackName")->isEnabled());  // no row selected yet

  QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);  // Select None
  EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_FALSE(extract->isEnabled());
  EXPECT_FALSE(Action(*form, "ActionExtract")->isEnabled());

  // Ctrl+click ticks the row it selects; a plain click only selects.
  const QRect second = list->visualItemRect(list->topLevelItem(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
  EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Checked);
  EXPECT_TRUE(list->topLevelItem(1)->isSelected());
  EXPECT_TRUE(extract->isEnabled());
  EXPECT_TRUE(Action(*form, "aEditTrackName")->isEnabled());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
  EXPECT_EQ(list->topLevelItem(2)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(form->Tracks().ExtractItems(), (JobItems{JobItem::Track(2, "Track02")}));

  // On the check box itself Ctrl+click toggles once too; so does Space, whichever cell is current.
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.rect = list->visualRect(list->model()->index(0, 0));
  option.features = QStyleOptionViewItem::HasCheckIndicator;
  const QPoint box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, box);
  EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
  for (auto [column, state] : {std::pair{3, Qt::Checked}, {0, Qt::Unchecked}}) {
    list->setCurrentIndex(list->model()->index(2, column));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(list->topLevelItem(2)->checkState(0), state) << column;
  }
  EXPECT_TRUE(list->topLevelItem(2)->isSelected());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, box);  // leaves the rows as before
  EXPECT_EQ(form->Tracks().ExtractItems(), (JobItems{JobItem::Track(2, "Track02")}));

  // F2 renames the selected row; so does a double-click on it.
  list->setCurrentItem(list->topLevelItem(1));
  answerer_.OnWindow<TfrmEditTrackName>([](TfrmEditTrackName* rename) {
    EXPECT_EQ(rename->trackName(), "Track02");
    rename->setTrackName("AC/DC: Live?");
    QTimer::singleShot(0, rename, &QDialog::accept);
  });
  QTest::keyClick(list, Qt::Key_F2);
  EXPECT_EQ(Column(*form, 1)[1], "AC/DC: Live?");
  EXPECT_EQ(form->Tracks().ExtractItems(), (JobItems{JobItem::Track(2, "AC/DC: Live?")}));
  answerer_.OnWindow<TfrmEditTrackName>([](TfrmEditTrackName* rename) { QTimer::singleShot(0, rename, &QDialog::reject); });
  Activate(*form);  // as the window manager does when a dialog has gone
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());  // a double-click's first half
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_TRUE(answerer_.AllAnswered());
  EXPECT_EQ(Column(*form, 1)[1], "AC/DC: Live?");

  Activate(*form);
  QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);  // Select All
  EXPECT_EQ(form->Tracks().ExtractItems().size(), 3u);

  // A double-click below the rows opens nothing.
  list->clearSelection();
  const QPoint below(20, list->viewport()->height() - 5);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
  QTest::qWait(50);
  EXPECT_TRUE(answerer_.boxTexts.isEmpty());
  form->close();
}

TEST_F(MainFormTest, DiscLeavingAndComingBackAndTheTrayOfAnImage) {
  TestDisc disc({"2s", "2s"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  form->MediaWatcher().SetIntervalMs(20);
  form->Tracks().Rows[0].Title = "Renamed";
  ASSERT_TRUE(QFile::rename(disc.CuePath(), disc.CuePath() + ".away"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return List(*form)->topLevelItemCount() == 0; }, 10000));
  ASSERT_TRUE(QFile::rename(disc.CuePath() + ".away", disc.CuePath()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return List(*form)->topLevelItemCount() == 2; }, 10000));
  // The titles of the disc were kept while it was out.
  EXPECT_EQ(Column(*form, 1), QStringList({"Renamed", "Track02"}));

  QTest::keyClick(List(*form), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(form->StatusText(), "A disc image has no tray to open or close.");
  form->findChild<QAction*>("CloseCdRomMenu")->trigger();
  EXPECT_EQ(form->StatusText(), "A disc image has no tray to open or close.");
  form->findChild<QAction*>("bRefresh")->trigger();
  EXPECT_EQ(form->StatusText(), "Image disc.cue");
  EXPECT_EQ(Column(*form, 1), QStringList({"Renamed", "Track02"}));
  form->close();
}

TEST_F(MainFormTest, ADiscWithoutAudioKeepsItsMessageAndIsReadAgainOnlyWhenAnotherArrives) {
  QTemporaryDir dir;
  const QString cue = dir.filePath("data.cue");
  ASSERT_TRUE(WriteBytes(dir.filePath("data.bin"), QByteArray(300 * 2352, '\0')));
  ASSERT_TRUE(WriteBytes(cue, "FILE \"data.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"));
  auto form = Open(cue);
  int arrivals = 0, removals = 0;
  QObject::connect(&form->MediaWatcher(), &TMediaWatcher::MediaArrived, [&] { ++arrivals; });
  QObject::connect(&form->MediaWatcher(), &TMediaWatcher::MediaRemoved, [&] { ++removals; });
  form->MediaWatcher().SetIntervalMs(20);
  const QString noAudio = "Can not find audio CD in your CD device.";
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->StatusText() == noAudio; }));
  QTest::qWait(300);
  EXPECT_EQ(arrivals, 0);
  EXPECT_EQ(form->StatusText(), noAudio);

  // An audio disc in its place is listed, and activation no longer reports a missing one.
  ASSERT_TRUE(QFile::rename(cue, cue + ".away"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return removals == 1; }, 10000));
  TestDisc audio({"2s"});
  ASSERT_TRUE(audio.Ok());
  ASSERT_TRUE(QFile::copy(audio.BinPath(), dir.filePath("disc.bin")) && QFile::copy(audio.CuePath(), cue));
  EXPECT_TRUE(QTest::qWaitFor([&] { return List(*form)->topLevelItemCount() == 1; }, 10000));
  QWidget other;
  other.show();
  Activate(other);
  Activate(*form);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->StatusText() == "Image data.cue"; }));
  EXPECT_EQ(arrivals, 1);
  form->close();
}

TEST_F(MainFormTest, FolderHelpAndHomePageOpenTheirAddresses) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  auto form = Open(SomeDisc());
  QTest::mouseClick(Button(*form, "tbFolder"), Qt::LeftButton);
  QTest::keyClick(List(*form), Qt::Key_F1);
  QTest::mouseClick(Button(*form, "tbHome"), Qt::LeftButton);
  EXPECT_EQ(catcher.opened, QList<QUrl>({QUrl::fromLocalFile(out_.path()), ManualUrl(), HomePageUrl()}));

  Settings().OutputFolder = out_.filePath("gone");
  answerer_.AnswerBox();
  QTest::mouseClick(Button(*form, "tbFolder"), Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(answerer_.boxTexts, QStringList({out_.filePath("gone") + ",The output directory does not exist."}));
  EXPECT_EQ(catcher.opened.size(), 3);
  form->close();
}

TEST_F(MainFormTest, LanguageSwitchTranslatesTheWindowAndRefusesMissingFiles) {
  ASSERT_TRUE(WriteBytes(DataFile("CLan_German.ini"),
                         "[MainForm]\nListView1_Column2=Länge(min)\ntbExtract=Auslesen\n"
                         "[Menu_MainForm]\nmiLanguage=&Sprache\nActionSelectAll=&Alle wählen\n"));
  auto form = Open(SomeDisc());
  form->findChild<QAction*>("miGerman")->trigger();
  EXPECT_EQ(Settings().Lan, "German");
  EXPECT_TRUE(form->findChild<QAction*>("miGerman")->isChecked());
  EXPECT_EQ(List(*form)->headerItem()->text(2), "Länge(min)");
  EXPECT_EQ(Button(*form, "tbExtract")->text(), "Auslesen");
  EXPECT_EQ(form->findChild<QMenu*>("miLanguage")->title(), "&Sprache");
  EXPECT_EQ(Action(*form, "ActionSelectAll")->text(), "&Alle wählen");

  answerer_.AnswerBox();
  form->findChild<QAction*>("miOther")->trigger();
  ASSERT_EQ(answerer_.boxTexts.size(), 1);
  EXPECT_TRUE(answerer_.boxTexts[0].startsWith(DataFile("CLan_Other.ini") + " can not be found.\n\n"));
  EXPECT_EQ(answerer_.boxCaptions[0], "Trackmill");
  EXPECT_EQ(Settings().Lan, "German");
  EXPECT_TRUE(form->findChild<QAction*>("miGerman")->isChecked());

  // The shipped English file holds every text of the window, so English comes back whole.
  form->findChild<QAction*>("miEnglish")->trigger();
  EXPECT_EQ(List(*form)->headerItem()->text(2), "Length(min)");
  EXPECT_EQ(Button(*form, "tbExtract")->text(), "Extract");
  EXPECT_EQ(Action(*form, "ActionSelectAll")->text(), "Select &All");
  form->close();
  EXPECT_EQ(IniFile::Load(SettingsFilePath()).ReadString("Options", "Lan", ""), "English");
  QFile::remove(DataFile("CLan_German.ini"));
}

TEST_F(MainFormTest, CloseTellsWhatCouldNotBeSavedAndKeepsUnknownFormats) {
  WriteOptions("OutputFormat=7\n");
  auto form = Open(SomeDisc());
  form->close();
  EXPECT_EQ(IniFile::Load(SettingsFilePath()).ReadInteger("CommonOptions", "OutputFormat", 0), 7);

  auto second = Open(SomeDisc());
  QFile::remove(SettingsFilePath());
  ASSERT_TRUE(QDir().mkpath(SettingsFilePath() + "/in-the-way"));
  answerer_.AnswerBox();
  second->close();
  ASSERT_EQ(answerer_.boxTexts.size(), 1);
  EXPECT_EQ(answerer_.boxTexts[0], "The settings could not be saved to " + SettingsFilePath() + ".");
  EXPECT_EQ(answerer_.boxIcons[0], QMessageBox::Critical);
}

TEST_F(MainFormTest, WithoutAnyDriveTheHintComesOnceAndTheStatusOnEveryActivation) {
  if (!ListDrives().empty()) GTEST_SKIP() << "this machine has a CD drive";
  int hints = 0;
  for (int i = 0; i < 2; ++i)
    answerer_.OnWindow<TfrmNoDeviceHint>([&hints](TfrmNoDeviceHint* hint) {
      ++hints;
      QTimer::singleShot(0, hint, &QDialog::accept);
    });
  auto form = Open();
  const QString noDisc = "Can not find audio CD in your CD device.";
  EXPECT_TRUE(QTest::qWaitFor([&] { return hints == 1 && form->StatusText() == noDisc; }));
  QWidget other;
  for (int i = 0; i < 2; ++i) {
    form->SetStatusText("something else");
    other.show();
    Activate(other);
    Activate(*form);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->StatusText() == noDisc; }));
  }
  EXPECT_EQ(hints, 1);
  form->close();
}

}  // namespace
}  // namespace trackmill::test
