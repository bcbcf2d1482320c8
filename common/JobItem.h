#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One item of a job: made by the track list for a rip, by the window or the command line for a
// file job; its files are planned once when the job starts (PlanOutputs) and the item is then
// handed unchanged through every step.
// A plain value: copy it freely, on any thread.
namespace trackmill {

struct DiscInfo;

struct JobItem {
  int track = 0;    // a CD track's position in the disc's track list (1-based); 0 for a file
  QString title;    // a CD track's title as given (its tags keep it)
  QString source;   // a file item's full path; empty for a CD track
  QString output;   // the file the item ends up as; planned when the job starts
  QString wav;      // a CD track's extracted WAV, a file of the job's own; planned with output
  QString name;     // the base name of the item's files, distinct within the job; planned with output
  // A CD track: the disc's fields (artist, album, track artists...) its tags are made from, as
  // the job's settings held them when it was planned; shared by the job's items. Null for a file.
  std::shared_ptr<const DiscInfo> disc;

  static JobItem Track(int track, const QString& title);
  static JobItem File(const QString& path);

  bool IsTrack() const { return track > 0; }
  // What captions and messages call the item: a track's title, a file's full path.
  const QString& Name() const { return IsTrack() ? title : source; }

  bool operator==(const JobItem&) const = default;
};

using JobItems = std::vector<JobItem>;

// File items of paths, in their order.
JobItems FileItems(const QStringList& paths);

}  // namespace trackmill
