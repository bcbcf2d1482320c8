#pragma once
#include <QList>
#include <QStringList>
#include <QUrl>

// What files dropped on the main window are for: one disc image to open, or sound files to
// convert with the File menu's jobs. A drop is taken whole or not at all: every URL a local,
// existing file of one kind (names matched without regard to case); a disc image only alone.
// Anything else (a folder, a remote URL, a text file, WAV and MP3 files mixed) is refused
// before the drop, so the cursor shows it cannot land. Pure function of the URLs and the
// file system; any thread.
namespace trackmill {

struct DroppedFiles {
  enum class Kind { Refused, DiscImage, WavFiles, Mp3Files };
  Kind kind = Kind::Refused;
  QStringList paths;  // absolute, in the order dropped
};

DroppedFiles ClassifyDroppedFiles(const QList<QUrl>& urls);

}  // namespace trackmill
