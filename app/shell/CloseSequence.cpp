#include "app/shell/CloseSequence.h"

#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {

CloseReport SaveOnClose(TrackList& list) {
  CloseReport report;
  bool titlesSaved = true;
  report.handleError = list.Close(&titlesSaved);
  if (!titlesSaved) report.saveErrors << TrackList::TitlesNotSavedText();
  if (!SaveSettings())
    report.saveErrors << LangString("RES_Save_Settings_Error")
                             .arg(SettingsFilePath());
  return report;
}

}  // namespace trackmill
