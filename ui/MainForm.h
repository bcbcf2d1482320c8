#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/shell/MainCommands.h"
#include "cd/TrackList.h"
#include "cddb/MusicBrainzThread.h"

class QAction;
class QActionGroup;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the disc in the chosen drive or disc image (its details above, its tracks
// below, titles and artists edited in place), and the commands that start every job and open
// every other window; WAV and MP3 files dropped on it are offered the File menu's conversions,
// a dropped disc image is opened. What it decides lives in headless code (TrackList, the
// enabling rules, the Extract checks, the close sequence, what a drop is for); this class
// wires widgets to it.
//
// Start-up: the constructor touches no file or drive; the first show loads the settings,
// opens the drive and lists the disc; each activation without a drive runs the fallback path.
// Closing saves the titles and the settings and reports what could not be saved, then keeps
// where the window stood and its column widths for the next start. The fixed light colours
// give way to the palette's own when a dark theme is in use (at start and when it changes). The window owns the two encoder runners and
// the paranoia CD input for its whole life. Main thread only.
namespace trackmill {

class TCDIn;
class TCDPlayback;
class TDiscFieldsPanel;
class TTrackCellDelegate;
struct DroppedFiles;
class TMediaWatcher;
class TMp3EncodeProcess;
class TWMAEncodeProcess;
class TUserPrompts;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // startImage: a disc image to open instead of the drive of the settings; startDrive: a
  // position in the drive list to open instead (-1: none given).
  explicit TMainForm(const QString& startImage = {}, int startDrive = -1, QWidget* parent = nullptr);
  ~TMainForm() override;

  // Used by the windows the main window opens.
  TrackList& Tracks() { return list_; }
  const std::shared_ptr<CdDrive>& Drive() const { return list_.Drive; }
  // Drive list position of the drive in use (-1: none chosen; may lie beyond the list).
  int DriveIndex() const { return driveIndex_; }
  QString StatusText() const;
  void SetStatusText(const QString& text);
  // Opens drive list position index and lists its disc (the options dialog's drive change).
  void OpenDrive(int index);
  // Offers the image as a drive, opens it, lists it and remembers it in the settings.
  void OpenDiscImage(const QString& path);
  // Fills the list from the table of contents of the open drive.
  void ReadTrackListFromTOC();
  TMediaWatcher& MediaWatcher() { return *mediaWatcher_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Actions, menus and tool bar (MainFormMenus.cpp); the menus need the track list built.
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QAction* NewAction(const char* name, const QString& text, void (TMainForm::*handler)(),
                     const QKeySequence& shortcut = {});
  QToolButton* NewToolButton(const char* name, const QString& text, QAction* action, int icon);
  void EnableLanguagesWithFiles();

  // Colours, default size and the placement kept between runs (MainFormLook.cpp).
  void ApplyColours();
  QSize DefaultSize();
  void RestorePlacement();
  void SavePlacement();

  // The track list, the status line and the window's life (MainForm.cpp).
  void CreateTrackList();
  void StartUp();
  void WindowActivated();
  bool CloseDown();
  void UpdateActions();
  MainWindowState CurrentState() const;
  void ShowRows();
  void OpenStartDrive();
  void StartWatching();
  void SaveTitlesOrTell();
  void ShowNoDeviceHint();

  // The disc's details, the Artist column and editing in the list (MainFormDisc.cpp).
  void CreateDiscPanel();
  void ShowDiscDetails();
  void ShowArtistCells();
  void ShowArtistColumn(bool shown);
  bool IsEditableCell(const QModelIndex& index) const;
  void EditNextTrack(const QModelIndex& committed);
  void TitleCellEdited(QTreeWidgetItem* item, size_t row);
  void ArtistCellEdited(QTreeWidgetItem* item, size_t row);
  // The cell being edited keeps what was typed before the list is saved, read or left.
  void CommitOpenEdit();

  // Files dropped on the window (MainFormDrop.cpp).
  void ShowDropMenu(const DroppedFiles& dropped, const QPoint& at);
  void RunFileJob(int jobKind, const QStringList& files);
  void ConvertDroppedWav(const QString& file);

  // Commands (MainFormCommands.cpp).
  void ExtractCheckedTracks();
  void CheckAllTracks();
  void UncheckAllTracks();
  void ConvertWavToMp3();
  void ConvertMp3ToWav();
  void ConvertWavToOgg();
  void ConvertWavToWma();
  void ConvertWavToWav();
  void RunFallbackWindow(const JobItems& items);
  void FileJob(int jobKind);
  void RunJobWindow(int jobKind, const std::shared_ptr<CdDrive>& drive, const JobItems& items);
  void OpenOutputFolder();
  void ChooseDiscImage();
  void RereadDisc();
  void EjectDisc();
  void CloseDriveTray();
  void RenameTrack();
  void QueryCddbServer();
  void OpenTagEditor();
  void OpenOptions();
  void OpenManual();
  void OpenHomePage();
  void ShowAbout();
  void OpenOggPlayer();
  void OpenRecorder();
  void OpenVolumeControl();
  void ClearVlcHistory();
  void ClearRecentFiles();

  // CD playback (MainFormPlayback.cpp).
  void PlaySelectedTrack();
  void PausePlayback();
  void StopPlayback();
  void PlaybackFinished(const QString& error);

  // MusicBrainz (MainFormMusicBrainz.cpp).
  void QueryMusicBrainz();
  void TakeMusicBrainzLookup(const MusicBrainzLookup& lookup);
  void StopMusicBrainz();

  // The track list's rows and the language menu (MainFormCommands.cpp).
  void SwitchLanguage(QAction* item);
  void TrackClicked(QTreeWidgetItem* item);
  void ToggleTrack(QTreeWidgetItem* item);
  void TrackDoubleClicked(QTreeWidgetItem* item);
  void TrackRowChanged(QTreeWidgetItem* item, int column);

  // The drive's media changes (MainFormDrive.cpp).
  void MediaArrived();
  void MediaRemoved();
  void ReopenDrive();

  static constexpr int kTitleColumn = 1;
  static constexpr int kArtistColumn = 4;  // shown after the Title; last in the language files

  TrackList list_;
  int driveIndex_ = -1;  // drive list position of the open drive
  bool hintShown_ = false;
  bool activationQueued_ = false;
  bool shownOnce_ = false;
  bool closing_ = false;
  bool fillingRows_ = false;
  bool artistColumnChosen_ = false;  // the user showed the Artist column for every disc
  bool dropAccepted_ = false;        // of the drag over the window
  Qt::KeyboardModifiers pressModifiers_;  // of the last mouse press on the list
  // The row under that press and its check state then: a click that changed it hit the check box.
  QTreeWidgetItem* pressedItem_ = nullptr;
  Qt::CheckState pressedCheckState_ = Qt::Unchecked;
  std::unique_ptr<TMp3EncodeProcess> mp3Runner_;
  std::unique_ptr<TWMAEncodeProcess> wmaRunner_;
  std::unique_ptr<TCDIn> fallbackInput_;
  TCDPlayback* playback_;
  std::unique_ptr<TUserPrompts> prompts_;
  TMediaWatcher* mediaWatcher_;
  QString startImage_;
  QPointer<TMusicBrainzThread> musicBrainz_;  // the lookup or cover fetch under way
  QString musicBrainzDisc_;                   // identifier of the disc it is for
  bool coverPending_ = false;                 // musicBrainz_ fetches the cover
  int startDrive_;

  QTreeWidget* trackList_ = nullptr;
  TTrackCellDelegate* cellEditor_ = nullptr;
  TDiscFieldsPanel* discPanel_ = nullptr;
  QFrame* statusPanel_ = nullptr;
  QLabel* statusText_ = nullptr;
  QMenu* trackListMenu_ = nullptr;
  QActionGroup* languageGroup_ = nullptr;
  QAction* actionExtract_ = nullptr;
  QAction* actionSelectAll_ = nullptr;
  QAction* actionNoSelect_ = nullptr;
  QAction* actionWavToMp3_ = nullptr;
  QAction* actionMp3ToWav_ = nullptr;
  QAction* actionWavToOgg_ = nullptr;
  QAction* actionWavToWma_ = nullptr;
  QAction* actionWavToWav_ = nullptr;
  QAction* actionOpenOutputFolder_ = nullptr;
  QAction* actionOpenDiscImage_ = nullptr;
  QAction* actionRefresh_ = nullptr;
  QAction* actionEject_ = nullptr;
  QAction* actionCloseTray_ = nullptr;
  QAction* actionExit_ = nullptr;
  QAction* actionRename_ = nullptr;
  QAction* actionQueryCddb_ = nullptr;
  QAction* actionQueryMusicBrainz_ = nullptr;
  QAction* actionEditId3_ = nullptr;
  QAction* actionArtistColumn_ = nullptr;
  QAction* actionOptions_ = nullptr;
  QAction* actionHelp_ = nullptr;
  QAction* actionHomePage_ = nullptr;
  QAction* actionAbout_ = nullptr;
  QAction* actionOggPlayer_ = nullptr;
  QAction* actionRecord_ = nullptr;
  QAction* actionVolumeControl_ = nullptr;
  QAction* actionClearVlc_ = nullptr;
  QAction* actionClearRecent_ = nullptr;
  QAction* actionPlay_ = nullptr;
  QAction* actionPause_ = nullptr;
  QAction* actionStop_ = nullptr;
};

}  // namespace trackmill
