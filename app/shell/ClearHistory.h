#pragma once
#include <QString>

// Clear History: the recent-files lists of two common players' configuration files. Only the
// list goes; everything else in the file stays byte for byte, and the file is replaced in one
// step (a failed write leaves it as it was).
//   VLC media player: the RecentsMRL list (and its play times) in vlc-qt-interface.conf.
//   The desktop's recently used files: the bookmarks of audio files in recently-used.xbel.
// Main thread or any one thread at a time (files only).
namespace trackmill {

QString VlcConfigPath();     // $XDG_CONFIG_HOME/vlc/vlc-qt-interface.conf
QString RecentFilesPath();   // $XDG_DATA_HOME/recently-used.xbel
// Whether a process named vlc runs now.
bool VlcRunning();

// The text transforms: answer the text without the list, and how many entries went.
struct ClearedText {
  QString text;
  int removed = 0;
};
ClearedText WithoutVlcRecents(const QString& conf);
ClearedText WithoutAudioBookmarks(const QString& xbel);

// Clear the list in the file; the number of entries removed (0 for a missing file), or -1
// with error set when the file cannot be read or written.
int ClearVlcRecents(const QString& path, QString& error);
int ClearRecentAudioFiles(const QString& path, QString& error);

}  // namespace trackmill
