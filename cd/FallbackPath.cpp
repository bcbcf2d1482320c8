#include "cd/FallbackPath.h"

#include "audio/core/AuException.h"
#include "cd/DriveTypes.h"
#include "settings/DiscInfoStore.h"

namespace trackmill {

bool IsAudioCDPresent(TCDIn& cdIn) {
  const int count = cdIn.TrackCount();
  for (int n = 1; n <= count; ++n)
    if (!cdIn.IsDataTrack(n)) return true;
  return false;
}

namespace {

struct TocFrames {
  std::vector<qint32> trackStarts;
  qint32 leadOut = 0;
};

TocFrames ReadTocFrames(TCDIn& cdIn) {
  const std::vector<qint32> starts = cdIn.TocStartSectors();
  TocFrames toc;
  for (size_t k = 0; k + 1 < starts.size(); ++k) toc.trackStarts.push_back(starts[k] + kLeadInSectors);
  toc.leadOut = starts.empty() ? 0 : starts.back() + kLeadInSectors;
  return toc;
}

// The list already shows this disc: listing it again would drop the user's ticks and the
// titles typed since (they reach the disc record only when it is saved).
bool IsListed(const TrackList& list, TCDIn& cdIn) {
  const TocFrames toc = ReadTocFrames(cdIn);
  return !list.Rows.empty() && !toc.trackStarts.empty() &&
         list.DiscIdentifier == DiscIdText(CddbDiscId(toc.trackStarts, toc.leadOut));
}

}  // namespace

void ReadTrackListFromCDIn(TrackList& list, TCDIn& cdIn) {
  const TocFrames toc = ReadTocFrames(cdIn);
  list.LoadDiscRecord(toc.trackStarts, toc.leadOut);
  list.Rows.clear();
  const int count = cdIn.TrackCount();
  for (int n = 1; n <= count; ++n) {
    const TCDIn::TrackTime time = cdIn.TrackLength(n);
    list.Rows.push_back(MakeTrackRow(n, {time.minutes, time.seconds}));
  }
  list.Status = cdIn.DriveName();
  list.SavedStatus = list.Status;
}

FallbackResult RunFallbackPath(TrackList& list, TCDIn& cdIn, int settingsIndex, bool hintAlreadyShown) {
  FallbackResult result;
  const int drives = cdIn.DriveCount();
  // There is no driver layer to put in place on this system: with no drive, only the hint.
  if (drives == 0) result.ShowNoDeviceHint = !hintAlreadyShown;
  try {
    if (drives > 0) cdIn.SelectDrive(settingsIndex <= 0 || settingsIndex >= drives ? 0 : settingsIndex);
    if (drives > 0 && IsAudioCDPresent(cdIn)) {
      if (!IsListed(list, cdIn)) {
        ReadTrackListFromCDIn(list, cdIn);
        result.Listed = true;
      }
    } else {
      list.NoAudioCD = true;
    }
  } catch (const EAuException&) {
    list.NoAudioCD = true;  // busy reading: the list stays as it is
  }
  return result;
}

}  // namespace trackmill
