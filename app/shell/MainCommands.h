#pragma once
#include <QString>

// When each command of the main window can be chosen. The window re-evaluates the rules
// whenever its list, selection or playback changes, and enables its actions accordingly.
namespace trackmill {

enum class MainCommand {
  Extract, SelectAll, SelectNone, WavToMp3, Mp3ToWav, WavToOgg, WavToWma, WavToWav,
  OpenOutputFolder, OpenDiscImage, Refresh, Eject, CloseTray, Exit, Record, OggPlayer, Play,
  Pause, Stop, VolumeControl, ClearHistory, QueryCddb, QueryMusicBrainz, RenameTitle, Id3Edit, Options,
  Language, Help, HomePage, About,
};

// What the rules look at.
struct MainWindowState {
  int rowCount = 0;
  int checkedCount = 0;
  bool rowSelected = false;
  bool isPlaying = false;  // playing or paused
  bool isPaused = false;
};

bool IsCommandEnabled(MainCommand command, const MainWindowState& state);

// Open-dialog filter of a file job (kinds 2, 3, 5, 6), in Qt's "Name (patterns)" form.
QString FileJobFilter(int jobKind);

}  // namespace trackmill
