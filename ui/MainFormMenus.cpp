// The main window's commands as actions, and the menus, the track list's context menu and the
// tool bar that offer them. Each action and menu keeps its component name for the language files.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "settings/LanguageFile.h"
#include "settings/LanguageMenu.h"
#include "ui/MainForm.h"

namespace trackmill {
namespace {

constexpr int kToolButtonWidth = 44;
constexpr int kToolButtonHeight = 36;

}  // namespace

QAction* TMainForm::NewAction(const char* name, const QString& text, void (TMainForm::*handler)(),
                              const QKeySequence& shortcut) {
  auto* action = new QAction(text, this);
  action->setObjectName(QLatin1String(name));
  action->setShortcut(shortcut);
  if (handler) connect(action, &QAction::triggered, this, handler);
  addAction(action);  // shortcuts work wherever the focus is in the window
  return action;
}

void TMainForm::CreateActions() {
  actionExtract_ = NewAction("ActionExtract", "E&xtract", &TMainForm::ExtractCheckedTracks, QKeySequence("Ctrl+X"));
  actionSelectAll_ = NewAction("ActionSelectAll", "Select &All", &TMainForm::CheckAllTracks, QKeySequence("Ctrl+A"));
  actionNoSelect_ = NewAction("ActionNoSelect", "Select &None", &TMainForm::UncheckAllTracks, QKeySequence("Ctrl+N"));
  actionWavToMp3_ = NewAction("ActionWavToMp3", "&WAV to MP3...", &TMainForm::ConvertWavToMp3, QKeySequence("Ctrl+W"));
  actionMp3ToWav_ = NewAction("mnuMp3ToWav", "&MP3 to WAV...", &TMainForm::ConvertMp3ToWav);
  actionWavToOgg_ = NewAction("miWAVtoOGG", "WAV to O&GG...", &TMainForm::ConvertWavToOgg);
  actionWavToWma_ = NewAction("miWAVtoWMA", "WAV to WM&A...", &TMainForm::ConvertWavToWma);
  actionWavToWav_ = NewAction("miWAVtoWAV", "WA&V to WAV...", &TMainForm::ConvertWavToWav);
  actionOpenOutputFolder_ = NewAction("Openoutputdirectory1", "&Open output directory...", &TMainForm::OpenOutputFolder);
  actionOpenDiscImage_ = NewAction("miOpenDiscImage", "Open Disc &Image...", &TMainForm::ChooseDiscImage);
  actionRefresh_ = NewAction("bRefresh", "&Refresh", &TMainForm::RereadDisc);
  actionEject_ = NewAction("EjectMenu", "&Eject CD", &TMainForm::EjectDisc, QKeySequence("Ctrl+E"));
  actionCloseTray_ = NewAction("CloseCdRomMenu", "&Close CD", &TMainForm::CloseDriveTray, QKeySequence("Ctrl+L"));
  actionExit_ = NewAction("ActionExit", "E&xit", nullptr);
  connect(actionExit_, &QAction::triggered, this, &QWidget::close);
  actionRename_ = NewAction("aEditTrackName", "Rename &Title", &TMainForm::RenameTrack, QKeySequence(Qt::Key_F2));
  actionQueryCddb_ = NewAction("aQueryCDDB", "&Query Freedb", &TMainForm::QueryCddbServer);
  actionEditId3_ = NewAction("aID3Edit", "&ID3 Tag Edit", &TMainForm::OpenTagEditor);
  actionArtistColumn_ = NewAction("miArtistColumn", "Artist &Column", nullptr);
  actionArtistColumn_->setCheckable(true);
  connect(actionArtistColumn_, &QAction::triggered, this, [this](bool shown) {
    artistColumnChosen_ = shown;
    ShowArtistColumn(shown);
  });
  actionQueryMusicBrainz_ = NewAction("miQueryMusicBrainz", "Query &MusicBrainz", &TMainForm::QueryMusicBrainz);
  actionOptions_ = NewAction("miOptions", "&Options...", &TMainForm::OpenOptions, QKeySequence("Ctrl+O"));
  actionHelp_ = NewAction("mnuHelp", "&Help", &TMainForm::OpenManual, QKeySequence(Qt::Key_F1));
  actionHomePage_ = NewAction("mnuHomePage", "Home Page", &TMainForm::OpenHomePage);
  actionAbout_ = NewAction("mnuAbout", "&About...", &TMainForm::ShowAbout);
  actionOggPlayer_ = NewAction("miOGGPlayer", "&OGG Player...", &TMainForm::OpenOggPlayer);
  actionRecord_ = NewAction("ActionRecord", "&Record", &TMainForm::OpenRecorder, QKeySequence("Ctrl+R"));
  actionVolumeControl_ = NewAction("VolumeControlMenu", "&Volume Control...", &TMainForm::OpenVolumeControl,
                                 QKeySequence("Ctrl+V"));
  actionClearVlc_ = NewAction("miClearVlc", "&VLC media player", &TMainForm::ClearVlcHistory);
  actionClearRecent_ = NewAction("miClearRecent", "&Recently used files", &TMainForm::ClearRecentFiles);
  actionPlay_ = NewAction("aPlay", "&Play", &TMainForm::PlaySelectedTrack, QKeySequence("Ctrl+P"));
  actionPause_ = NewAction("aPause", "P&ause", &TMainForm::PausePlayback);
  actionStop_ = NewAction("aStop", "&Stop", &TMainForm::StopPlayback);
}

void TMainForm::CreateMenus() {
  QMenuBar* bar = menuBar();
  auto addMenu = [&](const char* name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
  };
  QMenu* file = addMenu("File1", "&File");
  file->addActions({actionOpenDiscImage_});
  file->addSeparator();
  file->addActions({actionWavToWav_, actionWavToMp3_, actionMp3ToWav_, actionWavToOgg_, actionWavToWma_});
  file->addSeparator();
  file->addAction(actionOpenOutputFolder_);
  file->addSeparator();
  file->addAction(actionRefresh_);
  file->addSeparator();
  file->addActions({actionEject_, actionCloseTray_});
  file->addSeparator();
  file->addAction(actionExit_);
  QMenu* actions = addMenu("Actions1", "&Actions");
  actions->addAction(actionExtract_);
  actions->addSeparator();
  actions->addAction(actionRecord_);
  actions->addSeparator();
  actions->addAction(actionOggPlayer_);
  actions->addSeparator();
  actions->addActions({actionPlay_, actionPause_, actionStop_});
  actions->addSeparator();
  actions->addAction(actionVolumeControl_);
  actions->addSeparator();
  QMenu* clearHistory = actions->addMenu("Clear &History");
  clearHistory->setObjectName("ClearHistory1");
  clearHistory->addActions({actionClearVlc_, actionClearRecent_});
  QMenu* edit = addMenu("Edit1", "&Edit");
  edit->addActions({actionSelectAll_, actionNoSelect_});
  edit->addSeparator();
  edit->addActions({actionQueryCddb_, actionQueryMusicBrainz_});
  edit->addSeparator();
  edit->addActions({actionRename_, actionArtistColumn_, actionEditId3_});
  edit->addSeparator();
  edit->addAction(actionOptions_);

  QMenu* language = addMenu("miLanguage", "&Language");
  languageGroup_ = new QActionGroup(this);
  auto addLanguage = [&](const LanguageMenuItem& entry) {
    QAction* item = language->addAction(QString::fromUtf8(entry.caption));
    item->setObjectName(QLatin1String(entry.objectName));
    item->setCheckable(true);
    languageGroup_->addAction(item);
  };
  for (const LanguageMenuItem& entry : LanguagesByOwnName()) addLanguage(entry);
  language->addSeparator();
  for (const LanguageMenuItem& entry : LanguageMenuItems())
    if (entry.objectName && QLatin1String(entry.objectName) == QLatin1String("miOther")) addLanguage(entry);
  // A file may have been added or removed since the menu was last open.
  connect(language, &QMenu::aboutToShow, this, &TMainForm::EnableLanguagesWithFiles);
  connect(languageGroup_, &QActionGroup::triggered, this, &TMainForm::SwitchLanguage);

  QMenu* help = addMenu("Help1", "&Help");
  help->addAction(actionHelp_);
  help->addSeparator();
  help->addAction(actionHomePage_);
  help->addSeparator();
  help->addAction(actionAbout_);

  trackListMenu_ = new QMenu(this);
  trackListMenu_->setObjectName("PopupMenu1");
  trackListMenu_->addAction(actionExtract_);
  trackListMenu_->addSeparator();
  trackListMenu_->addActions({actionSelectAll_, actionNoSelect_});
  trackListMenu_->addSeparator();
  trackListMenu_->addActions({actionPlay_, actionPause_, actionStop_});
  trackListMenu_->addSeparator();
  trackListMenu_->addAction(actionRename_);
  trackList_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(trackList_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { trackListMenu_->popup(trackList_->viewport()->mapToGlobal(at)); });
}

void TMainForm::EnableLanguagesWithFiles() {
  // Only languages with a file can be chosen; "Other" stays, it says how to add one.
  for (QAction* item : languageGroup_->actions())
    item->setEnabled(item->objectName() == QLatin1String("miOther") ||
                     !FindLanguageFile(LanguageOfMenuItem(item->objectName())).isEmpty());
}

QToolButton* TMainForm::NewToolButton(const char* name, const QString& text, QAction* action, int icon) {
  auto* button = new QToolButton(this);
  button->setObjectName(QLatin1String(name));
  button->setText(text);
  button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setMinimumSize(kToolButtonWidth, kToolButtonHeight);
  button->setEnabled(action->isEnabled());
  connect(button, &QToolButton::clicked, action, &QAction::trigger);
  connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
  return button;
}

void TMainForm::CreateToolBar() {
  QToolBar* bar = addToolBar(QString());
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setIconSize(QSize(20, 20));
  const std::pair<QToolButton*, bool> buttons[] = {
      {NewToolButton("tbExtract", "Extract", actionExtract_, QStyle::SP_MediaPlay), true},
      {NewToolButton("tbEncode", "Encode", actionWavToMp3_, QStyle::SP_FileIcon), true},
      {NewToolButton("tbFolder", "Folder", actionOpenOutputFolder_, QStyle::SP_DirOpenIcon), true},
      {NewToolButton("tbRecord", "Record", actionRecord_, QStyle::SP_DialogYesButton), true},
      {NewToolButton("tbOptions", "Options", actionOptions_, QStyle::SP_FileDialogDetailedView), true},
      {NewToolButton("tbHome", "Home", actionHomePage_, QStyle::SP_DirHomeIcon), true},
      {NewToolButton("tbExit", "Exit", actionExit_, QStyle::SP_DialogCloseButton), false},
  };
  for (const auto& [button, separatorAfter] : buttons) {
    bar->addWidget(button);
    if (separatorAfter) bar->addSeparator();
  }
}

}  // namespace trackmill
