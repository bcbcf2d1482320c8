#pragma once
#include <QStringList>

#include "cd/TrackList.h"

// What closing the main window saves, in this order: the titles of the listed disc into the
// disc-info cache, the drive handle closed, the settings file. A failure does not stop the
// later steps; each is returned as a message for the user (a box, and stderr), so no edit is
// lost without the user knowing. Main thread only.
namespace trackmill {

struct CloseReport {
  QString handleError;  // the drive refused to close (its own error box)
  QStringList saveErrors;  // titles or settings that could not be written
};

CloseReport SaveOnClose(TrackList& list);

}  // namespace trackmill
