#include "ui/MainForm.h"

#include <cstdio>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "app/shell/CloseSequence.h"
#include "cd/Drive.h"
#include "cd/CDIn.h"
#include "cd/MediaWatcher.h"
#include "common/AppInfo.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/WMAEncodeProcess.h"
#include "player/CDPlayback.h"
#include "settings/LanguageMenu.h"
#include "settings/Settings.h"
#include "settings/translate/TranslateForm.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

const QColor kClientColour(214, 223, 247);
const QColor kListColour(239, 239, 255);
const QColor kStatusColour(220, 225, 255);
constexpr int kWindowWidth = 551;
constexpr int kWindowHeight = 500;
constexpr int kToolButtonWidth = 44;
constexpr int kToolButtonHeight = 36;

struct Column {
  const char* header;
  int width;
  Qt::Alignment alignment;
};
constexpr Column kColumns[] = {
    {"No.", 90, Qt::AlignLeft | Qt::AlignVCenter},
    {"Title", 230, Qt::AlignLeft | Qt::AlignVCenter},
    {"Length(min)", 100, Qt::AlignCenter},
    {"Size(MB)", 90, Qt::AlignCenter},
};

void Fill(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// The client area below the tool bar: the list with an 8-pixel margin left and right, the
// status line 8 pixels above the bottom, 4 pixels between them.
class TClientArea : public QWidget {
 public:
  TClientArea(QWidget* parent, QWidget* list, QWidget* status) : QWidget(parent), list_(list), status_(status) {}

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int statusHeight = status_->sizeHint().height();
    list_->setGeometry(8, 0, width() - 16, height() - statusHeight - 12);
    status_->setGeometry(8, height() - statusHeight - 8, width() - 16, statusHeight);
  }

 private:
  QWidget* list_;
  QWidget* status_;
};

}  // namespace

TMainForm::TMainForm(const QString& startImage, int startDrive, QWidget* parent)
    : QMainWindow(parent), startImage_(startImage), startDrive_(startDrive) {
  // FormCreate: the encoder runners, the fallback input, the caption. The settings are read
  // when the window is first shown, so a window built only for its texts touches no file.
  mp3Runner_ = std::make_unique<TMp3EncodeProcess>();
  wmaRunner_ = std::make_unique<TWMAEncodeProcess>();
  cdIn1_ = std::make_unique<TCDIn>();
  list_.UseDriveLayer = qEnvironmentVariable("TRACKMILL_FALLBACK_INPUT") != QLatin1String("1");
  prompts_ = std::make_unique<TBoxPrompts>(this);
  mediaWatcher_ = new TMediaWatcher(this);
  playback_ = new TCDPlayback(this);
  connect(playback_, &TCDPlayback::Finished, this, &TMainForm::PlaybackFinished);
  connect(mediaWatcher_, &TMediaWatcher::MediaArrived, this, &TMainForm::MediaArrived);
  connect(mediaWatcher_, &TMediaWatcher::MediaRemoved, this, &TMainForm::MediaRemoved);

  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("%1 %2").arg(kAppTitle, kAppVersion));
  Fill(this, QPalette::Window, kClientColour);
  CreateTrackList();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  resize(kWindowWidth, kWindowHeight);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kWindowWidth / 2, kWindowHeight / 2));
  }
  UpdateActions();
}

TMainForm::~TMainForm() {
  StopMusicBrainz();
  playback_->Stop();
  if (list_.Drive) list_.Drive->Close();
}

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
  actionExtract_ = NewAction("ActionExtract", "E&xtract", &TMainForm::ActionExtractExecute, QKeySequence("Ctrl+X"));
  actionSelectAll_ = NewAction("ActionSelectAll", "Select &All", &TMainForm::ActionSelectAllExecute, QKeySequence("Ctrl+A"));
  actionNoSelect_ = NewAction("ActionNoSelect", "Select &None", &TMainForm::ActionNoSelectExecute, QKeySequence("Ctrl+N"));
  actionWavToMp3_ = NewAction("ActionWavToMp3", "&WAV to MP3...", &TMainForm::ActionWavToMp3Execute, QKeySequence("Ctrl+W"));
  mnuMp3ToWav_ = NewAction("mnuMp3ToWav", "&MP3 to WAV...", &TMainForm::Mp3ToWavExecute);
  miWAVtoOGG_ = NewAction("miWAVtoOGG", "WAV to O&GG...", &TMainForm::WavToOggExecute);
  miWAVtoWMA_ = NewAction("miWAVtoWMA", "WAV to WM&A...", &TMainForm::WavToWmaExecute);
  miWAVtoWAV_ = NewAction("miWAVtoWAV", "WA&V to WAV...", &TMainForm::WavToWavExecute);
  openOutputDirectory1_ = NewAction("Openoutputdirectory1", "&Open output directory...", &TMainForm::OpenOutputFolderExecute);
  miOpenDiscImage_ = NewAction("miOpenDiscImage", "Open Disc &Image...", &TMainForm::OpenDiscImageExecute);
  bRefresh_ = NewAction("bRefresh", "&Refresh", &TMainForm::RefreshExecute);
  ejectMenu_ = NewAction("EjectMenu", "&Eject CD", &TMainForm::EjectExecute, QKeySequence("Ctrl+E"));
  closeCdRomMenu_ = NewAction("CloseCdRomMenu", "&Close CD", &TMainForm::CloseTrayExecute, QKeySequence("Ctrl+L"));
  actionExit_ = NewAction("ActionExit", "E&xit", nullptr);
  connect(actionExit_, &QAction::triggered, this, &QWidget::close);
  aEditTrackName_ = NewAction("aEditTrackName", "Rename &Title", &TMainForm::RenameExecute, QKeySequence(Qt::Key_F2));
  aQueryCDDB_ = NewAction("aQueryCDDB", "&Query Freedb", &TMainForm::QueryCDDBExecute);
  aID3Edit_ = NewAction("aID3Edit", "&ID3 Tag Edit", &TMainForm::ID3EditExecute);
  miQueryMusicBrainz_ = NewAction("miQueryMusicBrainz", "Query &MusicBrainz", &TMainForm::QueryMusicBrainzExecute);
  miOptions_ = NewAction("miOptions", "&Options...", &TMainForm::OptionsExecute, QKeySequence("Ctrl+O"));
  mnuHelp_ = NewAction("mnuHelp", "&Help", &TMainForm::HelpExecute, QKeySequence(Qt::Key_F1));
  mnuHomePage_ = NewAction("mnuHomePage", "Home Page", &TMainForm::HomePageExecute);
  mnuAbout_ = NewAction("mnuAbout", "&About...", &TMainForm::AboutExecute);
  miOGGPlayer_ = NewAction("miOGGPlayer", "&OGG Player...", &TMainForm::OggPlayerExecute);
  actionRecord_ = NewAction("ActionRecord", "&Record", &TMainForm::RecordExecute, QKeySequence("Ctrl+R"));
  volumeControlMenu_ = NewAction("VolumeControlMenu", "&Volume Control...", &TMainForm::VolumeControlExecute,
                                 QKeySequence("Ctrl+V"));
  miClearVlc_ = NewAction("miClearVlc", "&VLC media player", &TMainForm::ClearVlcExecute);
  miClearRecent_ = NewAction("miClearRecent", "&Recently used files", &TMainForm::ClearRecentExecute);
  aPlay_ = NewAction("aPlay", "&Play", &TMainForm::PlayExecute, QKeySequence("Ctrl+P"));
  aPause_ = NewAction("aPause", "P&ause", &TMainForm::PauseExecute);
  aStop_ = NewAction("aStop", "&Stop", &TMainForm::StopExecute);
}

void TMainForm::CreateMenus() {
  QMenuBar* bar = menuBar();
  auto addMenu = [&](const char* name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
  };
  QMenu* file = addMenu("File1", "&File");
  file->addActions({miOpenDiscImage_});
  file->addSeparator();
  file->addActions({miWAVtoWAV_, actionWavToMp3_, mnuMp3ToWav_, miWAVtoOGG_, miWAVtoWMA_});
  file->addSeparator();
  file->addAction(openOutputDirectory1_);
  file->addSeparator();
  file->addAction(bRefresh_);
  file->addSeparator();
  file->addActions({ejectMenu_, closeCdRomMenu_});
  file->addSeparator();
  file->addAction(actionExit_);
  QMenu* actions = addMenu("Actions1", "&Actions");
  actions->addAction(actionExtract_);
  actions->addSeparator();
  actions->addAction(actionRecord_);
  actions->addSeparator();
  actions->addAction(miOGGPlayer_);
  actions->addSeparator();
  actions->addActions({aPlay_, aPause_, aStop_});
  actions->addSeparator();
  actions->addAction(volumeControlMenu_);
  actions->addSeparator();
  QMenu* clearHistory = actions->addMenu("Clear &History");
  clearHistory->setObjectName("ClearHistory1");
  clearHistory->addActions({miClearVlc_, miClearRecent_});
  QMenu* edit = addMenu("Edit1", "&Edit");
  edit->addActions({actionSelectAll_, actionNoSelect_});
  edit->addSeparator();
  edit->addActions({aQueryCDDB_, miQueryMusicBrainz_});
  edit->addSeparator();
  edit->addActions({aEditTrackName_, aID3Edit_});
  edit->addSeparator();
  edit->addAction(miOptions_);

  QMenu* language = addMenu("miLanguage", "&Language");
  languageGroup_ = new QActionGroup(this);
  for (const LanguageMenuItem& entry : LanguageMenuItems()) {
    if (!entry.objectName) {
      language->addSeparator();
      continue;
    }
    QAction* item = language->addAction(QString::fromUtf8(entry.caption));
    item->setObjectName(QLatin1String(entry.objectName));
    item->setCheckable(true);
    languageGroup_->addAction(item);
  }
  connect(languageGroup_, &QActionGroup::triggered, this, &TMainForm::SwitchLanguage);

  QMenu* help = addMenu("Help1", "&Help");
  help->addAction(mnuHelp_);
  help->addSeparator();
  help->addAction(mnuHomePage_);
  help->addSeparator();
  help->addAction(mnuAbout_);

  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName("PopupMenu1");
  popupMenu1_->addAction(actionExtract_);
  popupMenu1_->addSeparator();
  popupMenu1_->addActions({actionSelectAll_, actionNoSelect_});
  popupMenu1_->addSeparator();
  popupMenu1_->addActions({aPlay_, aPause_, aStop_});
  popupMenu1_->addSeparator();
  popupMenu1_->addAction(aEditTrackName_);
  listView1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(listView1_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popupMenu1_->popup(listView1_->viewport()->mapToGlobal(at)); });
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
      {NewToolButton("tbFolder", "Folder", openOutputDirectory1_, QStyle::SP_DirOpenIcon), true},
      {NewToolButton("tbRecord", "Record", actionRecord_, QStyle::SP_DialogYesButton), true},
      {NewToolButton("tbOptions", "Options", miOptions_, QStyle::SP_FileDialogDetailedView), true},
      {NewToolButton("tbHome", "Home", mnuHomePage_, QStyle::SP_DirHomeIcon), true},
      {NewToolButton("tbExit", "Exit", actionExit_, QStyle::SP_DialogCloseButton), false},
  };
  for (const auto& [button, separatorAfter] : buttons) {
    bar->addWidget(button);
    if (separatorAfter) bar->addSeparator();
  }
}

void TMainForm::CreateTrackList() {
  listView1_ = new QTreeWidget;
  listView1_->setObjectName("ListView1");
  listView1_->setColumnCount(4);
  QStringList headers;
  for (const Column& column : kColumns) headers << QLatin1String(column.header);
  listView1_->setHeaderLabels(headers);
  for (int i = 0; i < 4; ++i) {
    listView1_->setColumnWidth(i, kColumns[i].width);
    listView1_->headerItem()->setTextAlignment(i, kColumns[i].alignment);
  }
  listView1_->header()->setStretchLastSection(false);
  listView1_->setRootIsDecorated(false);
  listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView1_->setAllColumnsShowFocus(true);
  listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Fill(listView1_, QPalette::Base, kListColour);
  listView1_->viewport()->installEventFilter(this);
  connect(listView1_, &QTreeWidget::itemClicked, this, &TMainForm::ListView1Click);
  connect(listView1_, &QTreeWidget::itemDoubleClicked, this, &TMainForm::ListView1DblClick);
  connect(listView1_, &QTreeWidget::itemChanged, this, &TMainForm::ListView1ItemChanged);
  connect(listView1_, &QTreeWidget::itemSelectionChanged, this, &TMainForm::UpdateActions);

  // The status line: a panel whose text is state, not a caption, so it is not translated.
  statusPanel1_ = new QFrame;
  statusPanel1_->setObjectName("StatusPanel1");
  statusPanel1_->setFrameShape(QFrame::Panel);
  statusPanel1_->setFrameShadow(QFrame::Sunken);
  Fill(statusPanel1_, QPalette::Window, kStatusColour);
  statusText_ = new QLabel(statusPanel1_);
  auto* statusLayout = new QHBoxLayout(statusPanel1_);
  statusLayout->setContentsMargins(4, 2, 4, 2);
  statusLayout->addWidget(statusText_);

  auto* client = new TClientArea(this, listView1_, statusPanel1_);
  listView1_->setParent(client);
  statusPanel1_->setParent(client);
  setCentralWidget(client);
}

QString TMainForm::StatusText() const { return statusText_->text(); }

void TMainForm::SetStatusText(const QString& text) {
  list_.Status = text;
  statusText_->setText(text);
}

MainWindowState TMainForm::CurrentState() const {
  MainWindowState state;
  state.rowCount = int(list_.Rows.size());
  for (const TrackRow& row : list_.Rows) state.checkedCount += row.Checked ? 1 : 0;
  state.rowSelected = !listView1_->selectedItems().isEmpty();
  state.isPlaying = playback_->IsPlaying();
  state.isPaused = playback_->IsPaused();
  return state;
}

void TMainForm::UpdateActions() {
  const MainWindowState state = CurrentState();
  actionExtract_->setEnabled(IsCommandEnabled(MainCommand::Extract, state));
  aEditTrackName_->setEnabled(IsCommandEnabled(MainCommand::RenameTitle, state));
  aPlay_->setEnabled(IsCommandEnabled(MainCommand::Play, state));
  aPause_->setEnabled(IsCommandEnabled(MainCommand::Pause, state));
  aStop_->setEnabled(IsCommandEnabled(MainCommand::Stop, state));
  // Both lookups write the disc fields and titles: one at a time.
  aQueryCDDB_->setEnabled(IsCommandEnabled(MainCommand::QueryCddb, state) && !musicBrainz_);
  miQueryMusicBrainz_->setEnabled(IsCommandEnabled(MainCommand::QueryMusicBrainz, state) && !musicBrainz_);
}

void TMainForm::ShowRows() {
  fillingRows_ = true;
  listView1_->clear();
  for (const TrackRow& row : list_.Rows) {
    auto* item = new QTreeWidgetItem(listView1_, {row.Caption, row.Title, row.Length, row.Size});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, row.Checked ? Qt::Checked : Qt::Unchecked);
    for (int i = 0; i < 4; ++i) item->setTextAlignment(i, kColumns[i].alignment);
  }
  fillingRows_ = false;
  statusText_->setText(list_.Status);
  UpdateActions();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  LoadSettings();
  for (QAction* item : languageGroup_->actions())
    item->setChecked(LanguageOfMenuItem(item->objectName()).compare(Settings().Lan, Qt::CaseInsensitive) == 0);
  TranslateShownForm(this);
  OpenStartDrive();
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // FormActivate runs from the event loop: it may open a modal window.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && shownOnce_ && !activationQueued_) {
    activationQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      activationQueued_ = false;
      FormActivate();
    });
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listView1_->viewport() && event->type() == QEvent::MouseButtonPress)
    pressModifiers_ = static_cast<QMouseEvent*>(event)->modifiers();
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (closing_ || FormClose()) {
    event->accept();
  }
}

bool TMainForm::FormClose() {
  closing_ = true;
  mediaWatcher_->Watch(nullptr, false);
  // FormCloseQuery: a running encoder is stopped first.
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_.get()),
                                 static_cast<TEncodeProcess*>(wmaRunner_.get())})
    if (runner->Running) runner->StopEncoder(0);
  // Playback reads the drive: it ends before the drive is closed.
  playback_->Stop();
  const QStringList errors = SaveOnClose(list_);
  for (const QString& line : errors) std::fprintf(stderr, "trackmill: %s\n", qPrintable(line));
  if (!errors.isEmpty()) ShowMessageBox(this, errors.join('\n'), QMessageBox::Critical);
  return true;
}

}  // namespace trackmill
