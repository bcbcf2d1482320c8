#include "app/shell/CloseSequence.h"

#include <QDir>

#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {

QStringList SaveOnClose(TrackList& list) {
  QStringList errors;
  if (const QString closeErrors = list.Close(); !closeErrors.isEmpty()) errors << closeErrors.split('\n');
  if (!SaveSettings())
    errors << LangString("RES_Save_Settings_Error").arg(QDir::toNativeSeparators(SettingsFilePath()));
  return errors;
}

}  // namespace trackmill
