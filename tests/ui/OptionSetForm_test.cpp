#include "ui/OptionSetForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "cd/Drive.h"
#include "common/DataFolder.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"

namespace trackmill::test {
namespace {

template <typename W>
W* Part(QWidget* form, const char* name) {
  W* found = form->findChild<W*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

QByteArray StoredSettings() {
  EXPECT_TRUE(SaveSettings());
  return ReadBytes(SettingsFilePath());
}

void ShowPage(QWidget* form, const char* page) {
  auto* pages = Part<QTabWidget>(form, "PageControl1");
  pages->setCurrentWidget(Part<QWidget>(form, page));
}

void ClickOk(QWidget* form) { QTest::mouseClick(Part<QPushButton>(form, "btOk"), Qt::LeftButton); }

// Clicks the button once the dialog runs its own loop; a dialog that stays open after it (OK
// refused a value) is closed, so the test fails instead of hanging.
void ClickLater(QDialog* dialog, const char* button) {
  QTimer::singleShot(0, dialog, [dialog, button] {
    QTest::mouseClick(Part<QPushButton>(dialog, button), Qt::LeftButton);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the dialog stayed open";
      dialog->reject();
    }
  });
}

TEST_F(MainFormTest, OptionsOpenBesideTheMainWindowAndAnUnchangedOkKeepsEverything) {
  WriteOptions("IsKeepWav=1\nOutputFormat=7\nRipTime=30\n[Mp3Options]\nIsSelectVBR=1\nBitRate=64\nMaxBitRate=250\n"
               "[WMAOptions]\nBitRate=12\n");
  auto form = Open(SomeDisc());
  const QString longArtist = QString(40, u'A');  // as a lookup may name it: longer than ID3v1
  Settings().Disc.Artist = longArtist;
  Settings().Disc.Genre = 18;
  form->Tracks().Rows[0].Title = "Renamed";
  const QByteArray before = StoredSettings();
  QPoint at;
  answerer_.OnWindow<TOptionSetForm>([&](TOptionSetForm* options) {
    at = options->pos();
    EXPECT_FALSE(Part<QCheckBox>(options, "ckbKeepWav")->isChecked());  // shown inverted
    EXPECT_EQ(Part<QComboBox>(options, "cbOutputFormat")->currentIndex(), -1);  // a format it does not know
    EXPECT_EQ(Part<QComboBox>(options, "cbMaxBitRate")->currentText(), "250 kbit/s");
    EXPECT_EQ(Part<QComboBox>(options, "cbWMABitrate")->currentText(), "44.100 kHz,  32 kbit/s, Mono");
    EXPECT_EQ(Part<QLineEdit>(options, "ID3artist")->text(), longArtist);
    EXPECT_EQ(Part<QComboBox>(options, "ID3genre")->currentText(), "Blues");
    EXPECT_EQ(Part<QTabWidget>(options, "PageControl1")->count(), 7);
    ShowPage(options, "TabSheet3");
    auto* drives = Part<QComboBox>(options, "cbCDList");
    EXPECT_EQ(drives->currentText(), "Image disc.cue");
    ClickLater(options, "btOk");
  });
  QTest::keyClick(List(*form), Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(answerer_.AllAnswered());
  EXPECT_EQ(at, form->pos() + QPoint(50, 50));
  EXPECT_EQ(StoredSettings(), before);
  EXPECT_EQ(Settings().Disc.Artist, longArtist);
  EXPECT_EQ(form->Tracks().Rows[0].Title, "Renamed");  // the list was not read again
  form->close();
}

TEST_F(MainFormTest, OptionsRefuseWrongValuesBeforeChangingAnything) {
  LoadSettings();
  const QByteArray before = StoredSettings();
  TOptionSetForm options;
  options.show();
  auto* folder = Part<QLineEdit>(&options, "editOutputDir");
  auto* ripTime = Part<QLineEdit>(&options, "eRipTime");
  auto* bitRate = Part<QComboBox>(&options, "cbBitRate");
  auto refused = [&](const QString& box, QMessageBox::StandardButton answer = QMessageBox::Ok) {
    answerer_.AnswerBox(answer);
    ClickOk(&options);
    EXPECT_TRUE(answerer_.AllAnswered());
    EXPECT_EQ(answerer_.boxTexts.value(answerer_.boxTexts.size() - 1), box);
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(StoredSettings(), before);
  };

  folder->setText(out_.filePath("missing"));
  // A missing folder is offered for creation; declined, it is refused.
  refused(out_.filePath("missing") + ",The output directory does not exist.\ncreates a new directory?", QMessageBox::No);
  EXPECT_EQ(options.focusWidget(), folder);
  EXPECT_FALSE(QFileInfo::exists(out_.filePath("missing")));
  folder->setText(out_.path());

  Part<QCheckBox>(&options, "cbRipTime")->setChecked(true);
  for (const char* text : {"abc", "", "-100", "-5", "1.5"}) {
    ripTime->setText(text);
    refused("Please check the song length to extract.");
  }
  ripTime->setText("12");
  // A bit rate that is no number stops OK before anything else is taken.
  Part<QCheckBox>(&options, "ckbKeepWav")->setChecked(false);
  bitRate->setEditText("abc");
  refused("\"abc\" is not a bit rate: please choose one from the list or type a number of kbit/s.");

  answerer_.AnswerFileDialog(QDir::rootPath(), out_.path());
  folder->setText(out_.filePath("missing"));
  QTest::mouseClick(Part<QPushButton>(&options, "btBrowser"), Qt::LeftButton);
  EXPECT_TRUE(answerer_.refusedFileNames.isEmpty());
  EXPECT_EQ(folder->text(), out_.path());
  bitRate->setEditText("96");
  ClickOk(&options);
  EXPECT_EQ(options.result(), QDialog::Accepted);
  EXPECT_TRUE(Settings().EnableRipTime);
  EXPECT_EQ(Settings().RipTime, 12);
  EXPECT_EQ(Settings().BitRate, 96);
  EXPECT_TRUE(Settings().IsKeepWav);
}

TEST_F(MainFormTest, OptionsMakeTheMissingDefaultFolderAndOfferATypedOneOnItsPage) {
  // A new account: no music folder yet, so the default output folder is missing.
  QTemporaryDir home;
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
  const QString fresh = DefaultOutputFolder();
  LoadSettings();
  Settings().OutputFolder = fresh;
  if (fresh.startsWith(home.path())) {
    TOptionSetForm options;
    options.show();
    ShowPage(&options, "TabSheet2");
    ClickOk(&options);
    EXPECT_EQ(options.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(fresh).isDir());
  } else {
    ADD_FAILURE() << "the default folder is not under HOME: " << fresh.toStdString();
  }
  qputenv("HOME", oldHome);
  qputenv("XDG_CONFIG_HOME", oldConfig);
  if (oldConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");

  TOptionSetForm options;
  options.show();
  ShowPage(&options, "TabSheet2");
  const QString typed = out_.filePath("new/deeper");
  Part<QLineEdit>(&options, "editOutputDir")->setText(typed);
  answerer_.AnswerBox(QMessageBox::No);
  ClickOk(&options);
  EXPECT_TRUE(options.isVisible());
  EXPECT_EQ(Part<QTabWidget>(&options, "PageControl1")->currentWidget()->objectName(), "TabSheet1");
  EXPECT_FALSE(QFileInfo::exists(typed));
  answerer_.AnswerBox(QMessageBox::Yes);
  ClickOk(&options);
  EXPECT_EQ(options.result(), QDialog::Accepted);
  EXPECT_TRUE(QFileInfo(typed).isDir());
  EXPECT_EQ(Settings().OutputFolder, typed);
  EXPECT_EQ(answerer_.boxTexts, QStringList(2, typed + ",The output directory does not exist.\ncreates a new directory?"));
}

TEST_F(MainFormTest, OptionControlsFollowTheirBoxesTheFormatAndTheDrive) {
  WriteOptions("[CDOptions]\nIndex=5\n");
  LoadSettings();
  AddDiscImage(SomeDisc());
  TOptionSetForm options;
  options.show();
  auto* keepWav = Part<QCheckBox>(&options, "ckbKeepWav");
  auto* format = Part<QComboBox>(&options, "cbOutputFormat");
  format->setCurrentIndex(1);  // WAV
  EXPECT_FALSE(keepWav->isEnabled());
  format->setCurrentIndex(4);  // FLAC still writes a WAV first
  EXPECT_TRUE(keepWav->isEnabled());

  // A preset fills the pattern; a typed one shows as the user's own; both show an example.
  auto* preset = Part<QComboBox>(&options, "cbNamePreset");
  auto* pattern = Part<QLineEdit>(&options, "editNamePattern");
  auto* example = Part<QLabel>(&options, "lblNameExample");
  EXPECT_EQ(pattern->text(), "%t");
  EXPECT_EQ(example->text(), "Title.flac");
  for (int down = 0; down < 3; ++down) QTest::keyClick(preset, Qt::Key_Down);
  EXPECT_EQ(pattern->text(), "%A/%l (%y)/Disc %d/%n - %t");
  EXPECT_EQ(example->text(), "Artist/Album (2001)/Disc 1/03 - Title.flac");
  pattern->clear();
  QTest::keyClicks(pattern, "%n %t");
  EXPECT_EQ(preset->currentIndex(), 4);
  EXPECT_EQ(example->text(), "03 Title.flac");

  auto* vbr = Part<QCheckBox>(&options, "ckbSelectVBR");
  const char* vbrParts[] = {"ckbVBRHead", "cbMaxBitRate", "cbVBRQuality"};
  for (const char* name : vbrParts) EXPECT_FALSE(Part<QWidget>(&options, name)->isEnabled()) << name;
  vbr->setChecked(true);
  for (const char* name : vbrParts) EXPECT_TRUE(Part<QWidget>(&options, name)->isEnabled()) << name;
  EXPECT_FALSE(Part<QSpinBox>(&options, "SpinEdit1")->isEnabled());
  Part<QCheckBox>(&options, "ckNormalize")->setChecked(true);
  EXPECT_TRUE(Part<QSpinBox>(&options, "SpinEdit1")->isEnabled());

  Part<QComboBox>(&options, "cbStereoMode")->setCurrentIndex(4);
  QTest::mouseClick(Part<QPushButton>(&options, "bDefault"), Qt::LeftButton);
  EXPECT_FALSE(vbr->isChecked());
  EXPECT_EQ(Part<QComboBox>(&options, "cbBitRate")->currentText(), "128 kbit/s");
  EXPECT_EQ(Part<QComboBox>(&options, "cbStereoMode")->currentText(), "Joint Stereo");

  // A stored drive beyond the list selects none, and OK keeps it.
  ShowPage(&options, "TabSheet3");
  EXPECT_EQ(Part<QComboBox>(&options, "cbCDList")->count(), 1);
  EXPECT_EQ(Part<QComboBox>(&options, "cbCDList")->currentIndex(), -1);
  ClickOk(&options);
  EXPECT_EQ(Settings().Index, 5);
  EXPECT_EQ(Settings().OutputFormat, 4);
  EXPECT_EQ(Settings().FileNamePattern, "%n %t");

  // Without a drive handle the paranoia input reads whole tracks and does not normalise.
  TMainForm neverShown;
  TOptionSetForm fallback(&neverShown);
  fallback.show();
  EXPECT_TRUE(Part<QGroupBox>(&fallback, "GroupBox4")->isHidden());
  EXPECT_FALSE(Part<QCheckBox>(&fallback, "ckNormalize")->isEnabled());
}

TEST_F(MainFormTest, CancelDiscardsAndAnotherDriveIsOpenedAndListed) {
  TestDisc other({"1s", "1s", "1s"});
  ASSERT_TRUE(other.Ok());
  auto form = Open(SomeDisc());
  AddDiscImage(other.CuePath());
  auto edit = [&](const char* command, bool ok, const QString& shownAlbum) {
    answerer_.OnWindow<TOptionSetForm>([=](TOptionSetForm* options) {
      EXPECT_EQ(Part<QLineEdit>(options, "ID3album")->text(), shownAlbum);
      Part<QLineEdit>(options, "ID3album")->setText("Typed");
      ShowPage(options, "TabSheet3");
      Part<QComboBox>(options, "cbCDList")->setCurrentIndex(1);
      ClickLater(options, ok ? "btOk" : "btCancel");
    });
    if (QString(command) == "tbOptions")
      QTest::mouseClick(Button(*form, command), Qt::LeftButton);
    else
      Action(*form, command)->trigger();
    EXPECT_TRUE(answerer_.AllAnswered());
    Activate(*form);
  };
  edit("tbOptions", false, "");
  EXPECT_EQ(Settings().Disc.Album, "");
  EXPECT_EQ(List(*form)->topLevelItemCount(), 2);
  Settings().Disc.Album = "Looked Up";  // what a lookup leaves in the current disc
  edit("miOptions", true, "Looked Up");
  EXPECT_EQ(List(*form)->topLevelItemCount(), 3);
  EXPECT_EQ(Settings().DiscImage, other.CuePath());
  EXPECT_EQ(Settings().Index, -1);
  form->close();
}

}  // namespace
}  // namespace trackmill::test
