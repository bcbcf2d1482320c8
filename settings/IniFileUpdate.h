#pragma once
#include <QString>
#include <functional>

#include "settings/IniFile.h"

// A read-merge-write of an INI file that other processes may update at the same moment (two
// windows, a window and the command line): the file is read, changed and saved while a
// QLockFile "<path>.lock" beside it is held, so no process's changes are written over with
// an older copy. A lock left by a process that died is taken over once it is stale.
// Callable from any thread; the change runs on the caller's thread while the lock is held.
namespace trackmill {

// False when the changes are lost: the lock cannot be taken in time, the file exists but
// cannot be read (replacing it would lose what it holds), or it cannot be written (the old
// file then stays as it was).
bool UpdateIniFile(const QString& path, const std::function<void(IniFile&)>& change);

}  // namespace trackmill
