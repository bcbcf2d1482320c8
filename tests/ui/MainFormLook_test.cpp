#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>

#include "common/DataFolder.h"
#include "settings/IniFile.h"
#include "settings/LanguageFile.h"
#include "settings/Settings.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"

namespace trackmill::test {
namespace {

// Fusion with a dark palette for the life of the object, as a desktop's dark theme sets it.
class DarkTheme {
 public:
  DarkTheme() : style_(QApplication::style()->name()), palette_(QApplication::palette()) {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette dark(QColor(53, 53, 53));  // window and buttons; the light text follows from them
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
  }
  ~DarkTheme() {
    QApplication::setStyle(QStyleFactory::create(style_));
    QApplication::setPalette(palette_);
  }

 private:
  QString style_;
  QPalette palette_;
};

TEST_F(MainFormTest, UnderADarkPaletteListToolBarAndStatusLineStayReadable) {
  auto form = Open(SomeDisc());
  const DarkTheme theme;  // switched while the window is open, as a desktop's theme changes
  QTreeWidget* list = List(*form);
  auto* toolBar = form->findChild<QToolBar*>("ToolBar1");
  auto* status = form->findChild<QFrame*>("StatusPanel1");
  struct Part {
    QWidget* painted;
    QPoint emptySpot;  // where the background shows
    QColor text;
  };
  const Part parts[] = {
      {list->viewport(), {list->viewport()->width() - 3, list->viewport()->height() - 3},
       list->palette().color(QPalette::Text)},
      {toolBar, {toolBar->width() - 3, toolBar->height() / 2}, Button(*form, "tbExtract")->palette().color(QPalette::ButtonText)},
      {form->menuBar(), {form->menuBar()->width() - 3, form->menuBar()->height() / 2},
       form->menuBar()->palette().color(QPalette::ButtonText)},
      {status, {status->width() - 4, status->height() / 2}, status->palette().color(QPalette::WindowText)},
  };
  for (const Part& part : parts) {
    const QColor background = part.painted->grab().toImage().pixelColor(part.emptySpot);
    EXPECT_GT(std::abs(background.lightness() - part.text.lightness()), 120)
        << part.painted->objectName().toStdString() << " background " << background.name().toStdString()
        << " text " << part.text.name().toStdString();
  }
  form->close();
}

TEST_F(MainFormTest, ShowsATwentyTrackDiscWholeAndKeepsItsPlaceAndColumnWidths) {
  TestDisc disc(QStringList(20, "1s"));
  ASSERT_TRUE(disc.Ok());
  const QFont font = QApplication::font();
  QFont large = font;
  large.setPixelSize(16);  // rows as tall as on a desktop, where the old fixed size cut the list
  QApplication::setFont(large);
  QRect placed;
  {
    auto form = Open(disc.CuePath());
    QTreeWidget* list = List(*form);
    ASSERT_EQ(list->topLevelItemCount(), 20);
    // QTest's own checks do not fail a gtest test: wait, then expect.
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->maximum() == 0; }, 2000));
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(239, 239, 255));  // a light palette keeps its colours
    form->setGeometry(form->geometry().adjusted(-20, -10, 60, 30));
    list->setColumnWidth(0, 60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->header()->length() == list->viewport()->width(); }, 2000))
        << "the Title takes the rest";
    placed = form->geometry();
    form->close();
  }
  const IniFile stored = IniFile::Load(SettingsFilePath());
  EXPECT_EQ(stored.ReadString("MainForm", "ColumnWidths", {}).section(',', 2), "100,90");
  EXPECT_FALSE(stored.ReadString("MainForm", "Geometry", {}).isEmpty());
  {
    auto form = Open(disc.CuePath());
    EXPECT_EQ(form->geometry(), placed);
    EXPECT_EQ(List(*form)->columnWidth(0), 60);
    form->close();
  }
  QApplication::setFont(font);
}

TEST_F(MainFormTest, LanguageMenuNamesEachLanguageInItselfAndOffersOnlyShippedOnes) {
  auto form = Open(SomeDisc());
  auto* menu = form->findChild<QMenu*>("miLanguage");
  QStringList names;
  for (QAction* item : menu->actions())
    if (!item->isSeparator()) names << item->text();
  EXPECT_EQ(names, QStringList({"Čeština", "Dansk", "Deutsch", "English", "Español", "Français", "Italiano",
                                "Kurdî", "Latviešu", "Magyar", "Nederlands", "Português", "Slovenščina",
                                "Svenska", "Türkçe", "Ελληνικά", "Русский", "עברית", "العربية", "中文", "Other"}));
  for (const char* shipped : {"miEnglish", "miGerman", "miFrench", "miOther"})
    EXPECT_TRUE(Action(*form, shipped)->isEnabled()) << shipped;
  EXPECT_FALSE(Action(*form, "miNetherlands")->isEnabled());
  // A file the user adds counts the next time the menu opens.
  ASSERT_TRUE(WriteBytes(DataFile("CLan_Netherlands.ini"), "[MainForm]\ntbExtract=Rippen\n"));
  emit menu->aboutToShow();
  EXPECT_TRUE(Action(*form, "miNetherlands")->isEnabled());
  QFile::remove(DataFile("CLan_Netherlands.ini"));

  // In German the names stay, and "Other" says in German where the English file to copy is.
  Action(*form, "miGerman")->trigger();
  EXPECT_EQ(Action(*form, "miNetherlands")->text(), "Nederlands");
  answerer_.AnswerBox();
  Action(*form, "miOther")->trigger();
  const QString english = FindLanguageFile("English");
  EXPECT_EQ(answerer_.boxTexts.value(0),
            DataFile("CLan_Other.ini") + " wurde nicht gefunden.\n\nUm eine Sprache hinzuzufügen, kopieren Sie " +
                english + " nach " + DataFile("CLan_Other.ini") + " und übersetzen Sie die Texte nach jedem \"=\".");
  Action(*form, "miEnglish")->trigger();
  form->close();
}

}  // namespace
}  // namespace trackmill::test
