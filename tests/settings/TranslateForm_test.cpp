#include "settings/translate/TranslateForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "common/DataFolder.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

template <typename W>
W* Add(QWidget* parent, const char* name) {
  auto* widget = new W(parent);
  widget->setObjectName(name);
  parent->layout()->addWidget(widget);
  return widget;
}

// A main window with one widget of every kind a language file can name.
struct MainForm {
  std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
  QLabel* label;
  QLabel* internalLabel;
  QPushButton* button;
  QCheckBox* check;
  QRadioButton* radio;
  QToolButton* tool;
  QGroupBox* group;
  QComboBox* combo;
  QComboBox* editableCombo;
  QLineEdit* edit;
  QTreeWidget* tree;
  QTableWidget* table;
  QTabWidget* tabs;
  QMenu* fileMenu;
  QAction* eject;
  QAction* separator;
  QAction* query;
  bool queryTriggered = false;

  MainForm() {
    window->setObjectName("MainForm");
    window->setWindowTitle("Trackmill");
    auto* central = new QWidget(window.get());
    central->setLayout(new QVBoxLayout);
    window->setCentralWidget(central);
    label = Add<QLabel>(central, "Label1");
    label->setText("Output:");
    internalLabel = Add<QLabel>(central, "qt_private");
    internalLabel->setText("internal");
    button = Add<QPushButton>(central, "bRefresh");
    button->setText("&Refresh");
    check = Add<QCheckBox>(central, "cbKeepWav");
    check->setText("Keep WAV");
    radio = Add<QRadioButton>(central, "rbMp3");
    radio->setText("MP3");
    tool = Add<QToolButton>(central, "sbPlay");
    tool->setText("Play");
    group = Add<QGroupBox>(central, "GroupBox1");
    group->setTitle("Format");
    combo = Add<QComboBox>(central, "cbStereo");
    combo->addItems({"Stereo", "Joint Stereo", "Mono"});
    editableCombo = Add<QComboBox>(central, "cbServer");
    editableCombo->setEditable(true);
    editableCombo->addItem("server one");
    edit = Add<QLineEdit>(central, "editOutputDir");
    edit->setText("/music");
    tree = Add<QTreeWidget>(central, "ListView1");
    tree->setHeaderLabels({"No.", "Title", "Length(min)"});
    table = Add<QTableWidget>(central, "Grid1");
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({"Name", "Size"});
    tabs = Add<QTabWidget>(central, "PageControl1");
    tabs->addTab(new QWidget, "Output");
    tabs->addTab(new QWidget, "MP3");
    window->statusBar()->setObjectName("StatusBar1");
    window->statusBar()->showMessage("Ready");
    fileMenu = window->menuBar()->addMenu("&File");
    fileMenu->setObjectName("FileMenu");
    eject = fileMenu->addAction("&Eject CD");
    eject->setObjectName("EjectMenu");
    separator = fileMenu->addSeparator();
    separator->setObjectName("N1");
    query = new QAction("&Query CDDB", window.get());
    query->setObjectName("aQueryCDDB");
    QObject::connect(query, &QAction::triggered, [this] { queryTriggered = true; });
    fileMenu->addAction(query);
  }
};

void WriteLanguageFile(const QString& language, const QByteArray& text) {
  QFile file(DataFile("CLan_" + language + ".ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

class TranslateFormTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* language : {"Deutsch", "german", "Partial", "English", "Broken"}) {
      QFile::remove(DataFile(QString("CLan_%1.ini").arg(language)));
    }
  }
};

const QByteArray kGerman =
    "[MainForm]\n"
    "MainForm=Trackmühle\n"
    "Label1=Ausgabe:\n"
    "qt_private=nie\n"
    "bRefresh=&Aktualisieren\n"
    "cbKeepWav=WAV behalten\n"
    "rbMp3=MP3-Datei\n"
    "sbPlay=Abspielen\n"
    "GroupBox1=Format wählen\n"
    "cbStereo_Item0=Stereo (de)\n"
    "cbStereo_Item1=Joint-Stereo\n"
    "cbServer_Text=Server eins\n"
    "editOutputDir=/nicht/ändern\n"
    "ListView1_Column2=Länge(min)\n"
    "Grid1_Column0=Name (de)\n"
    "PageControl1_Page1=MP3 (de)\n"
    "StatusBar1=Bereit\n"
    "EjectMenu=falscher Abschnitt\n"
    "[Menu_MainForm]\n"
    "FileMenu=&Datei\n"
    "EjectMenu=CD &auswerfen\n"
    "N1=Trenner\n"
    "aQueryCDDB=CDDB &abfragen\n";

TEST_F(TranslateFormTest, EveryKindOfTextIsTranslatedByName) {
  WriteLanguageFile("Deutsch", kGerman);
  MainForm form;
  TranslateForm(form.window.get(), "Deutsch");
  EXPECT_EQ(form.window->windowTitle(), "Trackmühle");
  EXPECT_EQ(form.label->text(), "Ausgabe:");
  EXPECT_EQ(form.internalLabel->text(), "internal");
  EXPECT_EQ(form.button->text(), "&Aktualisieren");
  EXPECT_EQ(form.check->text(), "WAV behalten");
  EXPECT_EQ(form.radio->text(), "MP3-Datei");
  EXPECT_EQ(form.tool->text(), "Abspielen");
  EXPECT_EQ(form.group->title(), "Format wählen");
  EXPECT_EQ(form.combo->itemText(0), "Stereo (de)");
  EXPECT_EQ(form.combo->itemText(1), "Joint-Stereo");
  EXPECT_EQ(form.combo->itemText(2), "Mono");  // fewer items in the file: the rest stay
  EXPECT_EQ(form.editableCombo->currentText(), "Server eins");
  EXPECT_EQ(form.edit->text(), "/music");  // edits are not translated
  EXPECT_EQ(form.tree->headerItem()->text(0), "No.");
  EXPECT_EQ(form.tree->headerItem()->text(2), "Länge(min)");
  EXPECT_EQ(form.table->horizontalHeaderItem(0)->text(), "Name (de)");
  EXPECT_EQ(form.table->horizontalHeaderItem(1)->text(), "Size");
  EXPECT_EQ(form.tabs->tabText(0), "Output");
  EXPECT_EQ(form.tabs->tabText(1), "MP3 (de)");
  EXPECT_EQ(form.window->statusBar()->currentMessage(), "Bereit");
  EXPECT_EQ(form.fileMenu->title(), "&Datei");
  EXPECT_EQ(form.eject->text(), "CD &auswerfen");
  EXPECT_EQ(form.separator->text(), "");
  EXPECT_TRUE(form.separator->isSeparator());
  EXPECT_EQ(form.query->text(), "CDDB &abfragen");
  form.query->trigger();  // a menu item linked to a command keeps its command
  EXPECT_TRUE(form.queryTriggered);
}

TEST_F(TranslateFormTest, DialogsOwnedByTheWindowKeepTheirTexts) {
  WriteLanguageFile("Deutsch", kGerman);
  MainForm form;
  auto* dialog = new QDialog(form.window.get());
  dialog->setObjectName("frmRecord");
  dialog->setWindowTitle("Record");
  auto* dialogLabel = new QLabel("Output:", dialog);
  dialogLabel->setObjectName("Label1");  // same name as a label of the main window
  TranslateForm(form.window.get(), "Deutsch");
  EXPECT_EQ(form.label->text(), "Ausgabe:");
  EXPECT_EQ(dialogLabel->text(), "Output:");
  EXPECT_EQ(dialog->windowTitle(), "Record");
}

TEST_F(TranslateFormTest, StatusBarPanelsAreReadByPosition) {
  WriteLanguageFile("Deutsch", "[frmRecord]\nStatusBar1=ignored\nStatusBar1_Panel1=Aufnahme\n");
  QMainWindow window;
  window.setObjectName("frmRecord");
  window.statusBar()->setObjectName("StatusBar1");
  auto* time = new QLabel("00:00:00.0");
  auto* state = new QLabel("Stopped");
  time->setObjectName("TimePanel");
  window.statusBar()->addWidget(time);
  window.statusBar()->addPermanentWidget(state);
  TranslateForm(&window, "Deutsch");
  EXPECT_EQ(time->text(), "00:00:00.0");
  EXPECT_EQ(state->text(), "Aufnahme");
  EXPECT_EQ(window.statusBar()->currentMessage(), "");
}

TEST_F(TranslateFormTest, MissingFileOrSectionOrBrokenFileLeavesTexts) {
  WriteLanguageFile("Broken", QByteArray("\x00\xff[MainForm\nLabel1\n=Nothing\n[[[", 28));
  for (const char* language : {"NoSuchLanguage", "Broken", "../etc/passwd"}) {
    MainForm form;
    TranslateForm(form.window.get(), language);
    EXPECT_EQ(form.window->windowTitle(), "Trackmill") << language;
    EXPECT_EQ(form.combo->itemText(0), "Stereo") << language;
    EXPECT_EQ(form.eject->text(), "&Eject CD") << language;
  }
}

TEST_F(TranslateFormTest, LanguageNameIsUsedAsWrittenForTheFileName) {
  WriteLanguageFile("german", "[MainForm]\nLabel1=klein geschrieben\n");
  MainForm form;
  TranslateForm(form.window.get(), "german");
  EXPECT_EQ(form.label->text(), "klein geschrieben");
}

TEST_F(TranslateFormTest, SwitchKeepsOldTextsForMissingKeysAndEnglishFileRestores) {
  {
    MainForm english;
    IniFile file;
    WriteFormTexts(english.window.get(), file);
    WriteLanguageFile("English", file.Serialize());
    EXPECT_EQ(file.ReadString("MainForm", "ListView1_Column2", ""), "Length(min)");
    EXPECT_EQ(file.ReadString("Menu_MainForm", "EjectMenu", ""), "&Eject CD");
    EXPECT_FALSE(file.HasKey("Menu_MainForm", "N1"));
    EXPECT_FALSE(file.HasKey("MainForm", "editOutputDir"));
  }
  WriteLanguageFile("Deutsch", kGerman);
  WriteLanguageFile("Partial", "[MainForm]\nLabel1=Sortie :\n[Menu_MainForm]\nEjectMenu=É&jecter\n");
  MainForm form;
  TranslateForm(form.window.get(), "Deutsch");
  TranslateForm(form.window.get(), "Partial");
  EXPECT_EQ(form.label->text(), "Sortie :");
  EXPECT_EQ(form.eject->text(), "É&jecter");
  EXPECT_EQ(form.button->text(), "&Aktualisieren");  // not in the second file
  TranslateForm(form.window.get(), "English");
  EXPECT_EQ(form.window->windowTitle(), "Trackmill");
  EXPECT_EQ(form.label->text(), "Output:");
  EXPECT_EQ(form.button->text(), "&Refresh");
  EXPECT_EQ(form.combo->itemText(1), "Joint Stereo");
  EXPECT_EQ(form.tree->headerItem()->text(2), "Length(min)");
  EXPECT_EQ(form.tabs->tabText(1), "MP3");
  EXPECT_EQ(form.fileMenu->title(), "&File");
  EXPECT_EQ(form.eject->text(), "&Eject CD");
  EXPECT_EQ(form.query->text(), "&Query CDDB");
  EXPECT_EQ(form.window->statusBar()->currentMessage(), "Ready");
}

TEST_F(TranslateFormTest, ShownWindowIsTranslatedOnlyForLanguagesOtherThanEnglish) {
  WriteLanguageFile("English", "[MainForm]\nLabel1=from the English file\n");
  WriteLanguageFile("german", "[MainForm]\nLabel1=Deutsch\n");
  MainForm form;
  Settings().Lan = "ENGLISH";
  TranslateShownForm(form.window.get());
  EXPECT_EQ(form.label->text(), "Output:");
  Settings().Lan = "german";
  TranslateShownForm(form.window.get());
  EXPECT_EQ(form.label->text(), "Deutsch");
  Settings().Lan = "English";
}

}  // namespace
}  // namespace trackmill
