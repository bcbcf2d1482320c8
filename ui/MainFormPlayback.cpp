// CD playback in the main window: Play, Pause and Stop of the selected track, and the end of
// the track.
#include <QAction>
#include <QTreeWidget>

#include "player/CDPlayback.h"
#include "settings/LangString.h"
#include "ui/MainForm.h"

namespace trackmill {

void TMainForm::PlaySelectedTrack() {
  QTreeWidgetItem* item = trackList_->currentItem();
  const int row = trackList_->indexOfTopLevelItem(item);
  if (!item || !item->isSelected() || row < 0 || row >= int(list_.Rows.size())) return;
  const bool wasPlaying = playback_->IsPlaying();
  const bool wasPaused = playback_->IsPaused();
  // The status to come back to is the one before playback, not a "Play ..." line.
  if (!wasPlaying) list_.SavedStatus = StatusText();
  SetStatusText(LangString("RES_Play") + list_.Rows[size_t(row)].Title);
  if (wasPaused) {
    playback_->Resume();
  } else {
    // Playback is an extra: a track that cannot be played leaves the window as it was.
    const QString error = playback_->Play(list_.Drive, list_.Rows[size_t(row)].Caption.toInt());
    if (!error.isEmpty()) SetStatusText(list_.SavedStatus);
  }
  UpdateActions();
}

void TMainForm::PausePlayback() {
  playback_->Pause();
  UpdateActions();
}

void TMainForm::StopPlayback() {
  if (!playback_->IsPlaying()) return;
  playback_->Stop();
  SetStatusText(list_.SavedStatus);
  UpdateActions();
}

void TMainForm::PlaybackFinished(const QString&) {
  // The end of the track, or a failure (swallowed): either way playback is over.
  SetStatusText(list_.SavedStatus);
  UpdateActions();
}

}  // namespace trackmill
