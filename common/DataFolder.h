#pragma once
#include <QString>
#include <QStringList>

// Where the program keeps and finds its files.
// The per-user data folder holds options.ini, cdinfo.dat, user language files and the
// recorder's temporary files: $TRACKMILL_HOME when set, else $XDG_CONFIG_HOME/trackmill,
// else ~/.config/trackmill. It is created on first use. Thread-safe (reads the environment).
namespace trackmill {

// Absolute path of the per-user data folder, without a trailing separator.
QString DataFolder();
// Path of a file inside the per-user data folder.
QString DataFile(const QString& name);
// Folders searched for shipped files (language files, manual), in order: the per-user
// folder, the build tree's data/ folder, the share folder beside the running executable
// (<prefix>/bin/../share/trackmill, wherever the package put it), the configured one.
QStringList DataSearchPath();
// First existing file of that name along DataSearchPath(), or empty when none.
QString FindDataFile(const QString& name);
// Default output folder: the user's music folder + "/Trackmill".
QString DefaultOutputFolder();
// Folder of the running executable (helper programs are looked up there first).
QString ProgramFolder();
// Finds a helper program: beside the executable first, then on PATH. Empty when absent.
QString FindProgram(const QString& name);

}  // namespace trackmill
