#include "app/shell/MainCommands.h"

#include "common/JobCodes.h"

namespace trackmill {

bool IsCommandEnabled(MainCommand command, const MainWindowState& state) {
  switch (command) {
    case MainCommand::Extract: return state.checkedCount > 0;
    case MainCommand::QueryCddb:
    case MainCommand::QueryMusicBrainz: return state.rowCount > 0;
    case MainCommand::Play:
    case MainCommand::RenameTitle: return state.rowSelected;
    case MainCommand::Pause: return state.isPlaying && !state.isPaused;
    case MainCommand::Stop: return state.isPlaying;
    default: return true;
  }
}

QString FileJobFilter(int jobKind) {
  // "Any file" means any: on this system many files have no extension, so "*" not "*.*".
  if (jobKind == job_kind::kMp3ToWav) return QStringLiteral("MP3 file (*.mp3);;Any file (*)");
  return QStringLiteral("Sound file (*.wav);;Any file (*)");
}

}  // namespace trackmill
