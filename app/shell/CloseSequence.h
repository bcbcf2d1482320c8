#pragma once
#include <QStringList>

#include "cd/TrackList.h"

// What closing the main window saves, in this order: the titles of the listed disc into the
// disc-info cache, the drive handle closed, the settings file. A failure does not stop the
// later steps; each is returned as a message for the user (a box, and stderr), so no edit is
// lost without the user knowing. Main thread only.
namespace trackmill {

// The messages of the steps that failed, in order; empty when all went well.
QStringList SaveOnClose(TrackList& list);

}  // namespace trackmill
