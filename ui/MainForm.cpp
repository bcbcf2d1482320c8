#include "ui/MainForm.h"

#include <cstdio>
#include <iterator>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
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
#include "ui/DiscFieldsPanel.h"
#include "ui/MessageBox.h"
#include "ui/TrackCellDelegate.h"

namespace trackmill {
namespace {

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
    {"Artist", 170, Qt::AlignLeft | Qt::AlignVCenter},
};
constexpr int kColumnCount = int(std::size(kColumns));

// The client area below the tool bar: the disc's details, the list and the status line, each
// with an 8-pixel margin left and right, the status line 8 pixels above the bottom, 4 pixels
// between them.
class TClientArea : public QWidget {
 public:
  TClientArea(QWidget* parent, QWidget* details, QWidget* list, QWidget* status)
      : QWidget(parent), details_(details), list_(list), status_(status) {}

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int detailsHeight = details_->sizeHint().height();
    const int statusHeight = status_->sizeHint().height();
    details_->setGeometry(8, 4, width() - 16, detailsHeight);
    const int listTop = 4 + detailsHeight + 4;
    list_->setGeometry(8, listTop, width() - 16, height() - listTop - statusHeight - 12);
    status_->setGeometry(8, height() - statusHeight - 8, width() - 16, statusHeight);
  }

 private:
  QWidget* details_;
  QWidget* list_;
  QWidget* status_;
};

}  // namespace

TMainForm::TMainForm(const QString& startImage, int startDrive, QWidget* parent)
    : QMainWindow(parent), startImage_(startImage), startDrive_(startDrive) {
  // The encoder runners, the fallback input and the caption are made here. The settings are read
  // when the window is first shown, so a window built only for its texts touches no file.
  mp3Runner_ = std::make_unique<TMp3EncodeProcess>();
  wmaRunner_ = std::make_unique<TWMAEncodeProcess>();
  fallbackInput_ = std::make_unique<TCDIn>();
  list_.UseDriveLayer = qEnvironmentVariable("TRACKMILL_FALLBACK_INPUT") != QLatin1String("1");
  prompts_ = std::make_unique<TBoxPrompts>(this);
  mediaWatcher_ = new TMediaWatcher(this);
  playback_ = new TCDPlayback(this);
  connect(playback_, &TCDPlayback::Finished, this, &TMainForm::PlaybackFinished);
  connect(mediaWatcher_, &TMediaWatcher::MediaArrived, this, &TMainForm::MediaArrived);
  connect(mediaWatcher_, &TMediaWatcher::MediaRemoved, this, &TMainForm::MediaRemoved);

  setObjectName("MainForm");
  setAcceptDrops(true);
  setWindowTitle(QStringLiteral("%1 %2").arg(kAppTitle, kAppVersion));
  CreateTrackList();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  ApplyColours();
  const QSize size = DefaultSize();
  resize(size);
  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
  UpdateActions();
}

TMainForm::~TMainForm() {
  // The list outlives the members: a cell editor it closes on the way may commit, and nothing
  // of this window may hear of it any more.
  disconnect(trackList_, nullptr, this, nullptr);
  StopMusicBrainz();
  playback_->Stop();
  if (list_.Drive) list_.Drive->Close();
}

void TMainForm::CreateTrackList() {
  trackList_ = new QTreeWidget;
  trackList_->setObjectName("ListView1");
  trackList_->setColumnCount(kColumnCount);
  QStringList headers;
  for (const Column& column : kColumns) headers << QLatin1String(column.header);
  trackList_->setHeaderLabels(headers);
  for (int i = 0; i < kColumnCount; ++i) {
    trackList_->setColumnWidth(i, kColumns[i].width);
    trackList_->headerItem()->setTextAlignment(i, kColumns[i].alignment);
  }
  trackList_->header()->setStretchLastSection(false);
  trackList_->header()->setSectionResizeMode(1, QHeaderView::Stretch);  // the Title takes the free width
  trackList_->setRootIsDecorated(false);
  trackList_->setSelectionMode(QAbstractItemView::SingleSelection);
  trackList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  trackList_->setAllColumnsShowFocus(true);
  // Typing or F2 edits the current Title or Artist cell; a double-click opens the rename window.
  trackList_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  cellEditor_ = new TTrackCellDelegate({kTitleColumn, kArtistColumn},
                                       [this](const QModelIndex& committed) { EditNextTrack(committed); }, trackList_);
  trackList_->setItemDelegate(cellEditor_);
  trackList_->header()->moveSection(kArtistColumn, kTitleColumn + 1);
  trackList_->setColumnHidden(kArtistColumn, true);
  trackList_->installEventFilter(this);
  trackList_->viewport()->installEventFilter(this);
  connect(trackList_, &QTreeWidget::itemClicked, this, &TMainForm::TrackClicked);
  connect(trackList_, &QTreeWidget::itemDoubleClicked, this, &TMainForm::TrackDoubleClicked);
  connect(trackList_, &QTreeWidget::itemChanged, this, &TMainForm::TrackRowChanged);
  connect(trackList_, &QTreeWidget::itemSelectionChanged, this, &TMainForm::UpdateActions);

  // The status line: a panel whose text is state, not a caption, so it is not translated.
  statusPanel_ = new QFrame;
  statusPanel_->setObjectName("StatusPanel1");
  statusPanel_->setFrameShape(QFrame::Panel);
  statusPanel_->setFrameShadow(QFrame::Sunken);
  statusText_ = new QLabel(statusPanel_);
  auto* statusLayout = new QHBoxLayout(statusPanel_);
  statusLayout->setContentsMargins(4, 2, 4, 2);
  statusLayout->addWidget(statusText_);

  CreateDiscPanel();
  auto* client = new TClientArea(this, discPanel_, trackList_, statusPanel_);
  discPanel_->setParent(client);
  trackList_->setParent(client);
  statusPanel_->setParent(client);
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
  state.rowSelected = !trackList_->selectedItems().isEmpty();
  state.isPlaying = playback_->IsPlaying();
  state.isPaused = playback_->IsPaused();
  return state;
}

void TMainForm::UpdateActions() {
  const MainWindowState state = CurrentState();
  actionExtract_->setEnabled(IsCommandEnabled(MainCommand::Extract, state));
  actionRename_->setEnabled(IsCommandEnabled(MainCommand::RenameTitle, state));
  actionPlay_->setEnabled(IsCommandEnabled(MainCommand::Play, state));
  actionPause_->setEnabled(IsCommandEnabled(MainCommand::Pause, state));
  actionStop_->setEnabled(IsCommandEnabled(MainCommand::Stop, state));
  // Both lookups write the disc fields and titles: one at a time.
  actionQueryCddb_->setEnabled(IsCommandEnabled(MainCommand::QueryCddb, state) && !musicBrainz_);
  actionQueryMusicBrainz_->setEnabled(IsCommandEnabled(MainCommand::QueryMusicBrainz, state) && !musicBrainz_);
}

void TMainForm::ShowRows() {
  fillingRows_ = true;
  pressedItem_ = nullptr;
  trackList_->clear();
  for (const TrackRow& row : list_.Rows) {
    auto* item = new QTreeWidgetItem(trackList_, {row.Caption, row.Title, row.Length, row.Size});
    // Editable: the cell editor opens only the Title and Artist cells.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
    item->setCheckState(0, row.Checked ? Qt::Checked : Qt::Unchecked);
    for (int i = 0; i < kColumnCount; ++i) item->setTextAlignment(i, kColumns[i].alignment);
  }
  fillingRows_ = false;
  ShowDiscDetails();
  statusText_->setText(list_.Status);
  UpdateActions();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  StartUp();
}

void TMainForm::StartUp() {
  // A settings file that cannot be read is said once the window is up; the defaults stand in
  // and the file is never saved over.
  if (const QString problem = LoadSettings(); !problem.isEmpty())
    QTimer::singleShot(0, this, [this, problem] { ShowMessageBox(this, problem, QMessageBox::Warning); });
  RestorePlacement();
  for (QAction* item : languageGroup_->actions())
    item->setChecked(LanguageOfMenuItem(item->objectName()).compare(Settings().Lan, Qt::CaseInsensitive) == 0);
  EnableLanguagesWithFiles();
  TranslateShownForm(this);
  OpenStartDrive();
  trackList_->setFocus();  // the keys of the list (Space, F2, typing) work from the start
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ApplicationPaletteChange) ApplyColours();
  // WindowActivated runs from the event loop: it may open a modal window.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && shownOnce_ && !activationQueued_) {
    activationQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      activationQueued_ = false;
      WindowActivated();
    });
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == trackList_->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    pressModifiers_ = press->modifiers();
    pressedItem_ = trackList_->itemAt(press->position().toPoint());
    if (pressedItem_) pressedCheckState_ = pressedItem_->checkState(0);
  }
  // F2 on a Title or Artist cell edits it in place; elsewhere it stays Rename Title's key.
  if (watched == trackList_ && event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && IsEditableCell(trackList_->currentIndex())) {
      event->accept();
      return true;
    }
  }
  // Space ticks the current row whichever of its cells is current (the list alone would tick
  // only from the No. cell, which holds the check box).
  if (watched == trackList_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && trackList_->currentItem()) {
    ToggleTrack(trackList_->currentItem());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (closing_ || CloseDown()) {
    event->accept();
  }
}

bool TMainForm::CloseDown() {
  closing_ = true;
  mediaWatcher_->Watch(nullptr, false);
  // A running encoder is stopped first.
  for (TEncodeProcess* runner : {static_cast<TEncodeProcess*>(mp3Runner_.get()),
                                 static_cast<TEncodeProcess*>(wmaRunner_.get())})
    if (runner->Running) runner->StopEncoder(0);
  // Playback reads the drive: it ends before the drive is closed.
  playback_->Stop();
  CommitOpenEdit();
  const QStringList errors = SaveOnClose(list_);
  SavePlacement();
  for (const QString& line : errors) std::fprintf(stderr, "trackmill: %s\n", qPrintable(line));
  if (!errors.isEmpty()) ShowMessageBox(this, errors.join('\n'), QMessageBox::Critical);
  return true;
}

}  // namespace trackmill
