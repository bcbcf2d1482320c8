#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QDesktopServices>
#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "common/DataFolder.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/UrlCatcher.h"
#include "ui/AboutBox.h"
#include "ui/EditTrackNameForm.h"
#include "ui/HelpPages.h"
#include "ui/NoDeviceHintForm.h"

namespace trackmill {
namespace {

template <typename W>
W* Find(QWidget* window, const char* name) {
  W* found = window->findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

TEST(EditTrackNameFormTest, OkOnlyWithATitleAndEnterAcceptsTheEditedTitle) {
  TfrmEditTrackName form;
  form.setTrackName("Track03");
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* edit = Find<QLineEdit>(&form, "eName");
  auto* ok = Find<QPushButton>(&form, "btOK");
  EXPECT_EQ(edit->selectedText(), "Track03");  // typing replaces the old title
  EXPECT_TRUE(edit->hasFocus());

  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_FALSE(ok->isEnabled());
  QTest::keyClick(edit, Qt::Key_Return);  // no empty titles, not even by Enter
  EXPECT_TRUE(form.isVisible());

  QTest::keyClicks(edit, "AC/DC: Live?");
  EXPECT_TRUE(ok->isEnabled());
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.trackName(), "AC/DC: Live?");

  TfrmEditTrackName cancelled;
  cancelled.setTrackName("Keep");
  cancelled.show();
  QTest::mouseClick(Find<QPushButton>(&cancelled, "btCancel"), Qt::LeftButton);
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST(NoDeviceHintFormTest, LinksOpenTheirPagesAndCloseEndsWithOk) {
  test::UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  TfrmNoDeviceHint hint;
  hint.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&hint));
  for (const char* name : {"lblGroupsLink", "lblFuserLink"}) {
    auto* link = Find<QLabel>(&hint, name);
    QTest::mouseClick(link, Qt::LeftButton);
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);
  }
  QDesktopServices::unsetUrlHandler("https");
  ASSERT_EQ(catcher.opened.size(), 4);
  EXPECT_EQ(catcher.opened[0], catcher.opened[1]);
  EXPECT_NE(catcher.opened[0], catcher.opened[2]);
  QTest::mouseClick(Find<QPushButton>(&hint, "btClose"), Qt::LeftButton);
  EXPECT_EQ(hint.result(), QDialog::Accepted);
}

TEST(NoDeviceHintFormTest, EnterPressesCloseAlsoOnALink) {
  test::UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  for (bool onLink : {false, true}) {
    TfrmNoDeviceHint hint;
    hint.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&hint));
    if (onLink) Find<QLabel>(&hint, "lblGroupsLink")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(hint.result(), QDialog::Accepted) << onLink;
    EXPECT_FALSE(hint.isVisible());
  }
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_TRUE(catcher.opened.isEmpty());
}

TEST(SmallWindowsTest, TranslatedOnceWhenFirstShownInTheCurrentLanguage) {
  QFile file(DataFile(LanguageFileName("Testish")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[frmEditTrackName]\nfrmEditTrackName=Umbenennen\nbtOK=&Gut\n"
             "[AboutBox]\nlblVersionCaption=Fassung\n[frmNoDeviceHint]\nbtClose=&Zu\n");
  file.close();
  Settings().Lan = "Testish";
  TfrmEditTrackName rename;
  TAboutBox about;
  TfrmNoDeviceHint hint;
  EXPECT_EQ(rename.windowTitle(), "Rename Track Title");  // not before it is shown
  for (QDialog* window : {static_cast<QDialog*>(&rename), static_cast<QDialog*>(&about), static_cast<QDialog*>(&hint)}) {
    window->show();
  }
  EXPECT_EQ(rename.windowTitle(), "Umbenennen");
  EXPECT_EQ(Find<QPushButton>(&rename, "btOK")->text(), "&Gut");
  EXPECT_EQ(Find<QGroupBox>(&rename, "GroupBox1")->title(), "Please enter the new track title");  // key missing
  EXPECT_EQ(Find<QLabel>(&about, "lblVersionCaption")->text(), "Fassung");
  EXPECT_EQ(Find<QPushButton>(&hint, "btClose")->text(), "&Zu");

  // Shown again after the language changed: a shown window keeps its texts.
  rename.hide();
  Settings().Lan = "English";
  rename.show();
  EXPECT_EQ(rename.windowTitle(), "Umbenennen");
  QFile::remove(file.fileName());
}

// Every library the program is linked with directly is named, with its licence.
TEST(AboutBoxTest, ListsEveryLibraryTheProgramLinks) {
  const auto elf = test::RunProgram("readelf", {"-d", test::BinaryDir() + "/bin/trackmill"});
  if (elf.exitCode != 0) GTEST_SKIP() << "readelf is not installed";
  TAboutBox about;
  QStringList listed;
  auto* libraries = Find<QTreeWidget>(&about, "lvLibraries");
  for (int row = 0; row < libraries->topLevelItemCount(); ++row) {
    EXPECT_FALSE(libraries->topLevelItem(row)->text(1).isEmpty());
    listed << libraries->topLevelItem(row)->text(0).toLower().replace('-', '_');
  }
  // Libraries that come with another one the list names under its own name.
  const QHash<QString, QString> partOf{{"cdio_cdda", "cdio_paranoia"}, {"vorbisenc", "vorbis"},
                                       {"vorbisfile", "vorbis"}, {"z", "zlib"}, {"tag", "taglib"},
                                       {"asound", "portaudio"}, {"glx", "qt 6"}, {"opengl", "qt 6"}};
  const QRegularExpression needed(R"(\(NEEDED\)\s+Shared library: \[lib([A-Za-z0-9_+]+?)(-[0-9.]+)?\.so)");
  int checked = 0;
  for (auto match = needed.globalMatch(QString::fromUtf8(elf.out)); match.hasNext();) {
    QString name = match.next().captured(1).toLower();
    // The C and C++ runtimes, and the sanitizers' in a checking build.
    if (QStringList{"c", "m", "stdc++", "gcc_s", "asan", "ubsan", "tsan"}.contains(name)) continue;
    if (name.startsWith("qt6")) name = "qt 6";
    name = partOf.value(name, name);
    ++checked;
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const QString& entry) { return entry.contains(name); }))
        << "lib" << name.toStdString() << " is linked but not listed";
  }
  EXPECT_GT(checked, 10);
}

TEST(HelpPagesTest, ManualAndHomePageAreTheShippedManual) {
  const QUrl manual = ManualUrl();
  ASSERT_TRUE(manual.isLocalFile());
  EXPECT_TRUE(manual.toLocalFile().endsWith("/manual/index.html"));
  EXPECT_TRUE(QFileInfo(manual.toLocalFile()).isFile());
  EXPECT_EQ(HomePageUrl(), manual);
}

}  // namespace
}  // namespace trackmill

