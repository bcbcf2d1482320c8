#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// One item of a job, planned once when the job is made (by the track list for a rip, by the
// window or the command line for a file job) and handed unchanged through every step.
// A plain value: copy it freely, on any thread.
namespace trackmill {

struct JobItem {
  int track = 0;    // a CD track's position in the disc's track list (1-based); 0 for a file
  QString title;    // a CD track's title cleaned to name files: the base name of its results
  QString source;   // a file item's full path; empty for a CD track

  // A CD track: title is cleaned here (CleanFileName) so that it can name the track's files.
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
